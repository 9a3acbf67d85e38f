#include "settings/RegistrationStore.h"

#include <cstdint>
#include <string_view>

#include "hotkeys/HotkeyCode.h"
#include "settings/SettingsFile.h"

namespace {

constexpr std::wstring_view kNameSection = L"NAME";
constexpr std::wstring_view kHotkeySection = L"HOTKEY";
constexpr std::wstring_view kWinkeySection = L"WINKEY";
constexpr std::wstring_view kImageSection = L"IMAGE";
constexpr std::wstring_view kDeviceKindSection = L"DEVICE_KIND";
constexpr std::wstring_view kRejectTimesSection = L"REJECT_TIMES";
constexpr std::wstring_view kEjectOnSection = L"EJECT_ON";

// The fields every entry has besides its name and icon; nothing without a hotkey value.
std::optional<tag_device_hotkey_info> ReadHotkeyFields(const SettingsFile& file,
                                                       const std::wstring& key) {
  const std::optional<std::uint32_t> code =
      HotkeyCodeFromBlock(file.GetProfileBytes(kHotkeySection, key));
  if (!code) return std::nullopt;
  tag_device_hotkey_info record;
  record.key = key;
  record.hotkey = *code;
  record.winkey = file.GetProfileInt(kWinkeySection, key, 0) != 0 ? 1 : 0;
  record.reject_times = file.GetProfileInt(kRejectTimesSection, key, 0);
  record.device_kind = static_cast<std::uint32_t>(file.GetProfileInt(kDeviceKindSection, key, 0));
  // Bits of moments this program does not know are a later version's: not acted on.
  record.eject_on =
      static_cast<std::uint32_t>(file.GetProfileInt(kEjectOnSection, key, 0)) & kEveryEjectMoment;
  return record;
}

std::optional<tag_device_hotkey_info> ReadNumberedEntry(const SettingsFile& file,
                                                        const std::wstring& key) {
  std::wstring name = file.GetProfileString(kNameSection, key);
  if (name.empty()) return std::nullopt;
  std::optional<tag_device_hotkey_info> record = ReadHotkeyFields(file, key);
  if (!record) return std::nullopt;
  record->name = std::move(name);
  record->image = file.GetProfileInt(kImageSection, key, 0);
  return record;
}

}  // namespace

std::wstring RegistrationKey(int number) {
  const long long magnitude = number < 0 ? -static_cast<long long>(number) : number;
  std::wstring digits = std::to_wstring(magnitude);
  const std::size_t width = number < 0 ? 2 : 3;  // "%03d" counts the sign in the width
  if (digits.size() < width) digits.insert(0, width - digits.size(), L'0');
  return number < 0 ? L"-" + digits : digits;
}

StoredRegistrations ReadRegistrations(const SettingsFile& file) {
  StoredRegistrations stored;
  // A missing number does not end the scan: entries may have been removed by hand.
  for (int number = 1; number <= kMaxRegistrationNumber; ++number) {
    if (auto entry = ReadNumberedEntry(file, RegistrationKey(number)))
      stored.numbered.push_back(std::move(*entry));
  }
  stored.storage = ReadHotkeyFields(file, kStorageKey);
  return stored;
}

void ClearRegistrations(SettingsFile& file) {
  for (const std::wstring_view section :
       {kNameSection, kHotkeySection, kWinkeySection, kImageSection, kDeviceKindSection,
        kRejectTimesSection, kEjectOnSection}) {
    file.WriteProfileString(section, std::nullopt, std::nullopt);
  }
}

void WriteRegistration(SettingsFile& file, const std::wstring& key,
                       const tag_device_hotkey_info& record) {
  file.WriteProfileString(kNameSection, key, record.name);
  file.WriteProfileBytes(kHotkeySection, key, BlockFromHotkeyCode(record.hotkey));
  file.WriteProfileInt(kWinkeySection, key, record.winkey);
  // After ClearRegistrations the first write of a section appends it to the file, so
  // this order decides the file's layout: the storage entry has always written IMAGE
  // before DEVICE_KIND, a numbered entry last.
  const bool storage = key == kStorageKey;
  if (storage) file.WriteProfileInt(kImageSection, key, record.image);
  file.WriteProfileInt(kDeviceKindSection, key, static_cast<int>(record.device_kind));
  file.WriteProfileInt(kRejectTimesSection, key, record.reject_times);
  if (!storage) file.WriteProfileInt(kImageSection, key, record.image);
  // Most entries have no moment: they add nothing to the file.
  if (record.eject_on != 0)
    file.WriteProfileInt(kEjectOnSection, key, static_cast<int>(record.eject_on));
}

void WriteBackRemovalCount(SettingsFile& file, const tag_device_hotkey_info& record) {
  // A record that was not read from the file has no entry to write to.
  if (record.key.empty()) return;
  file.WriteProfileInt(kRejectTimesSection, record.key, record.reject_times);
}
