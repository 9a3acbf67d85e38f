#include "ui/DeviceListRegistrations.h"

#include <optional>
#include <vector>

#include "pnp/SystemNames.h"
#include "settings/RegistrationStore.h"
#include "settings/SettingsRecord.h"

namespace {

// The storage entry always stands for USB mass storage.
constexpr std::uint32_t kStorageDeviceKind = kKindUsb;

bool Listed(std::uint32_t entryKind, std::uint32_t deviceKind) {
  return (entryKind & deviceKind) != 0;
}

tag_device_hotkey_info StorageEntry(const std::wstring& name, const tag_device_hotkey_info& from) {
  tag_device_hotkey_info entry;
  entry.name = name;
  entry.hotkey = from.hotkey;
  entry.winkey = from.winkey;
  entry.reject_times = from.reject_times;
  entry.eject_on = from.eject_on;
  entry.image = 0;
  entry.device_kind = kStorageDeviceKind;
  return entry;
}

}  // namespace

void LoadRegistrationsToList(const SettingsFile& file, std::uint32_t deviceKind,
                             RegistrationRows& rows) {
  StoredRegistrations stored = ReadRegistrations(file);
  // Entries without a hotkey (code 0) are listed too: the page is where one is set.
  for (tag_device_hotkey_info& entry : stored.numbered) {
    if (!Listed(entry.device_kind, deviceKind)) continue;
    // The page renumbers the entries on OK: the key read now would name another entry.
    entry.key.clear();
    entry.present = 0;
    rows.AddOrUpdateRow(entry, false);
  }

  // A released storage hotkey (code 0) is still listed: its count and Windows-key flag
  // belong to the row, and the next OK would otherwise store them as 0. Whatever kind
  // it was stored with, the row is the USB one.
  if (!stored.storage || !Listed(kStorageDeviceKind, deviceKind)) return;
  tag_device_hotkey_info storage = StorageEntry(rows.AllStorageName(), *stored.storage);
  storage.key = rows.AllStorageName();
  // The all-storage entry stands for whatever mass storage is plugged in, so it is
  // never shown as absent.
  storage.present = 1;
  rows.AddOrUpdateRow(storage, false);
}

void SaveRegistrations(SettingsFile& file, std::uint32_t deviceKind, const RegistrationRows& rows) {
  // The page lists only the kinds selected now. What it could not list is read before
  // the sections go, so that narrowing the kind filter never loses a user's hotkeys
  // or removal counts.
  const StoredRegistrations stored = ReadRegistrations(file);
  ClearRegistrations(file);

  const std::wstring& allStorageName = rows.AllStorageName();
  bool storageWritten = false;
  int number = 1;
  for (std::size_t row = 0; row < rows.RowCount(); ++row) {
    tag_device_hotkey_info record = rows.RowRecord(row);
    const std::wstring text = rows.RowText(row);
    if (IsAllStorageRecord(record, allStorageName)) {
      WriteRegistration(file, kStorageKey, StorageEntry(text, record));
      storageWritten = true;
      continue;
    }
    record.name = text;
    record.image = rows.RowImage(row);
    // Beyond 256 the rows are still written; only the readers stop there.
    WriteRegistration(file, RegistrationKey(number++), record);
  }

  for (const tag_device_hotkey_info& entry : stored.numbered) {
    if (!Listed(entry.device_kind, deviceKind))
      WriteRegistration(file, RegistrationKey(number++), entry);
  }
  if (stored.storage && !storageWritten && !Listed(kStorageDeviceKind, deviceKind))
    WriteRegistration(file, kStorageKey, StorageEntry(allStorageName, *stored.storage));
}
