#include "settings/Registrations.h"

#include <optional>

#include "common/Prompter.h"
#include "common/WinValues.h"
#include "hotkeys/HotkeyCode.h"
#include "hotkeys/HotkeyRegistrar.h"
#include "resources/resource.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsRecord.h"

namespace {

constexpr std::wstring_view kNameSection = L"NAME";
constexpr std::wstring_view kHotkeySection = L"HOTKEY";
constexpr std::wstring_view kWinkeySection = L"WINKEY";
constexpr std::wstring_view kImageSection = L"IMAGE";
constexpr std::wstring_view kDeviceKindSection = L"DEVICE_KIND";
constexpr std::wstring_view kRejectTimesSection = L"REJECT_TIMES";

// The storage entry always stands for USB mass storage.
constexpr std::uint32_t kStorageDeviceKind = kKindUsb;

std::optional<std::uint32_t> ReadHotkeyCode(const SettingsFile& file, std::wstring_view key) {
  return HotkeyCodeFromBlock(file.GetProfileBytes(kHotkeySection, key));
}

bool ReadWinkey(const SettingsFile& file, std::wstring_view key) {
  return file.GetProfileInt(kWinkeySection, key, 0) != 0;
}

std::int32_t ReadRejectTimes(const SettingsFile& file, std::wstring_view key) {
  return file.GetProfileInt(kRejectTimesSection, key, 0);
}

std::uint32_t ReadDeviceKind(const SettingsFile& file, std::wstring_view key) {
  return static_cast<std::uint32_t>(file.GetProfileInt(kDeviceKindSection, key, 0));
}

// A numbered entry as the loaders see it: it needs a name and a hotkey value (a code
// of 0 included). IMAGE is read as well; callers that do not want it ignore it.
std::optional<tag_device_hotkey_info> ReadNumberedEntry(const SettingsFile& file,
                                                        const std::wstring& key) {
  tag_device_hotkey_info record;
  record.name = file.GetProfileString(kNameSection, key);
  if (record.name.empty()) return std::nullopt;
  const std::optional<std::uint32_t> code = ReadHotkeyCode(file, key);
  if (!code) return std::nullopt;
  record.hotkey = *code;
  record.winkey = ReadWinkey(file, key) ? 1 : 0;
  record.image = file.GetProfileInt(kImageSection, key, 0);
  record.reject_times = ReadRejectTimes(file, key);
  record.device_kind = ReadDeviceKind(file, key);
  return record;
}

void WriteEntry(SettingsFile& file, const std::wstring& key, const std::wstring& name,
                const tag_device_hotkey_info& record, std::int32_t image) {
  file.WriteProfileString(kNameSection, key, name);
  file.WriteProfileBytes(kHotkeySection, key, BlockFromHotkeyCode(record.hotkey));
  file.WriteProfileInt(kWinkeySection, key, record.winkey);
  file.WriteProfileInt(kDeviceKindSection, key, static_cast<int>(record.device_kind));
  file.WriteProfileInt(kRejectTimesSection, key, record.reject_times);
  file.WriteProfileInt(kImageSection, key, image);
}

void WriteStorageEntry(SettingsFile& file, const std::wstring& name,
                       const tag_device_hotkey_info& record) {
  const std::wstring key = kStorageKey;
  file.WriteProfileString(kNameSection, key, name);
  file.WriteProfileBytes(kHotkeySection, key, BlockFromHotkeyCode(record.hotkey));
  file.WriteProfileInt(kWinkeySection, key, record.winkey);
  file.WriteProfileInt(kImageSection, key, 0);
  file.WriteProfileInt(kDeviceKindSection, key, static_cast<int>(kStorageDeviceKind));
  file.WriteProfileInt(kRejectTimesSection, key, record.reject_times);
}

}  // namespace

bool IsAllStorageRecord(const tag_device_hotkey_info& record, const std::wstring& allStorageName) {
  // A hand-edited numbered entry of another kind may carry the same name; it stays
  // the entry it is rather than turning into the storage entry.
  return record.name == allStorageName && record.device_kind == kStorageDeviceKind;
}

std::wstring RegistrationKey(int number) {
  const long long magnitude = number < 0 ? -static_cast<long long>(number) : number;
  std::wstring digits = std::to_wstring(magnitude);
  const std::size_t width = number < 0 ? 2 : 3;  // "%03d" counts the sign in the width
  if (digits.size() < width) digits.insert(0, width - digits.size(), L'0');
  return number < 0 ? L"-" + digits : digits;
}

void LoadRegistrations(const SettingsFile& file, std::uint32_t deviceKind,
                       const std::wstring& storageDesc, HotkeyTableHost& host) {
  int nextId = 0;
  // A missing number does not end the scan: entries may have been removed by hand.
  for (int number = 1; number <= kMaxRegistrationNumber; ++number) {
    const std::wstring key = RegistrationKey(number);
    std::optional<tag_device_hotkey_info> entry = ReadNumberedEntry(file, key);
    if (!entry || entry->hotkey == 0) continue;
    if ((entry->device_kind & deviceKind) == 0) continue;
    entry->key = key;
    entry->image = 0;
    entry->present = 0;
    // A refused registration still takes its id, so ids do not depend on what other
    // programs hold.
    RegisterDeviceHotkey(nextId++, *entry, host);
  }

  const std::optional<std::uint32_t> storageCode = ReadHotkeyCode(file, kStorageKey);
  if (!storageCode || *storageCode == 0) return;
  tag_device_hotkey_info storage;
  storage.name = storageDesc;
  storage.key = kStorageKey;
  storage.hotkey = *storageCode;
  storage.winkey = ReadWinkey(file, kStorageKey) ? 1 : 0;
  storage.reject_times = ReadRejectTimes(file, kStorageKey);
  storage.device_kind = ReadDeviceKind(file, kStorageKey);
  if ((storage.device_kind & deviceKind) == 0) return;
  RegisterDeviceHotkey(nextId, storage, host);
}

bool RegisterDeviceHotkey(int id, const tag_device_hotkey_info& record, HotkeyTableHost& host) {
  if (id < 0) return false;
  const HotkeyModifiers combination = HotkeyToModifiers(record.hotkey, record.winkey != 0);
  if (!host.registrar.Register(id, combination.modifiers, combination.virtualKey)) {
    host.prompter.Show(IDS_HOTKEY_TAKEN_DEVICE, record.name, IDS_ERROR_CAPTION,
                       winvalues::kMbIconError | winvalues::kMbTopmost);
    return false;
  }
  const auto index = static_cast<std::size_t>(id);
  if (host.table.size() <= index) host.table.resize(index + 1);
  host.table[index] = record;
  return true;
}

void UnregisterAllHotkeys(HotkeyTableHost& host) {
  for (std::size_t i = 0; i < host.table.size(); ++i) {
    tag_device_hotkey_info& record = host.table[i];
    if (record.name.empty()) continue;
    host.registrar.Unregister(static_cast<int>(i));
    record.name.clear();
  }
}

void WriteBackRemovalCount(SettingsFile& file, const tag_device_hotkey_info& record) {
  // A record that was not read from the file has no entry to write to.
  if (record.key.empty()) return;
  file.WriteProfileInt(kRejectTimesSection, record.key, record.reject_times);
}

void LoadRegistrationsToList(const SettingsFile& file, std::uint32_t deviceKind,
                             RegistrationRows& rows) {
  for (int number = 1; number <= kMaxRegistrationNumber; ++number) {
    const std::wstring key = RegistrationKey(number);
    // Entries without a hotkey (code 0) are listed too: the page is where one is set.
    std::optional<tag_device_hotkey_info> entry = ReadNumberedEntry(file, key);
    if (!entry) continue;
    if ((entry->device_kind & deviceKind) == 0) continue;
    entry->present = 0;
    rows.AddOrUpdateRow(*entry, false);
  }

  // A released storage hotkey (code 0) is still read: its count and Windows-key flag
  // belong to the row, and the next OK would otherwise store them as 0.
  const std::optional<std::uint32_t> storageCode = ReadHotkeyCode(file, kStorageKey);
  if (!storageCode) return;
  tag_device_hotkey_info storage;
  storage.hotkey = *storageCode;
  storage.winkey = ReadWinkey(file, kStorageKey) ? 1 : 0;
  storage.reject_times = ReadRejectTimes(file, kStorageKey);
  if ((deviceKind & kStorageDeviceKind) == 0) return;
  storage.name = rows.AllStorageName();
  storage.key = rows.AllStorageName();
  // The all-storage entry stands for whatever mass storage is plugged in, so it is
  // never shown as absent.
  storage.present = 1;
  storage.image = 0;
  storage.device_kind = kStorageDeviceKind;
  rows.AddOrUpdateRow(storage, false);
}

void SaveRegistrations(SettingsFile& file, std::uint32_t deviceKind, const RegistrationRows& rows) {
  // The page lists only the kinds selected now. What it could not list is read before
  // the sections go, so that narrowing the kind filter never loses a user's hotkeys
  // or removal counts.
  std::vector<tag_device_hotkey_info> hidden;
  for (int number = 1; number <= kMaxRegistrationNumber; ++number) {
    const std::wstring key = RegistrationKey(number);
    std::optional<tag_device_hotkey_info> entry = ReadNumberedEntry(file, key);
    if (!entry || (entry->device_kind & deviceKind) != 0) continue;
    hidden.push_back(*entry);
  }
  std::optional<tag_device_hotkey_info> hiddenStorage;
  if ((deviceKind & kStorageDeviceKind) == 0) {
    if (const std::optional<std::uint32_t> code = ReadHotkeyCode(file, kStorageKey)) {
      tag_device_hotkey_info storage;
      storage.hotkey = *code;
      storage.winkey = ReadWinkey(file, kStorageKey) ? 1 : 0;
      storage.reject_times = ReadRejectTimes(file, kStorageKey);
      hiddenStorage = storage;
    }
  }

  for (const std::wstring_view section : {kNameSection, kHotkeySection, kWinkeySection,
                                          kImageSection, kDeviceKindSection,
                                          kRejectTimesSection}) {
    file.WriteProfileString(section, std::nullopt, std::nullopt);
  }

  const std::wstring& allStorageName = rows.AllStorageName();
  bool storageWritten = false;
  int number = 1;
  for (std::size_t row = 0; row < rows.RowCount(); ++row) {
    const std::wstring text = rows.RowText(row);
    const tag_device_hotkey_info record = rows.RowRecord(row);
    if (IsAllStorageRecord(record, allStorageName)) {
      WriteStorageEntry(file, text, record);
      storageWritten = true;
      continue;
    }
    // Beyond 256 the rows are still written; only the readers stop there.
    WriteEntry(file, RegistrationKey(number++), text, record, rows.RowImage(row));
  }

  for (const tag_device_hotkey_info& entry : hidden) {
    WriteEntry(file, RegistrationKey(number++), entry.name, entry, entry.image);
  }
  if (hiddenStorage && !storageWritten) WriteStorageEntry(file, allStorageName, *hiddenStorage);
}
