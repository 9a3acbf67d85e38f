#include "devices/SystemNames.h"

#include "devices/DeviceNames.h"
#include "settings/SettingsRecord.h"

bool SystemNames::IsStorageName(std::wstring_view name) const {
  return DeviceNamesEqual(name, storageDesc);
}

bool SystemNames::IsAllStorageRecord(const tag_device_hotkey_info& record) const {
  return ::IsAllStorageRecord(record, allStorageName);
}

bool IsAllStorageRecord(const tag_device_hotkey_info& record, std::wstring_view allStorageName) {
  return record.name == allStorageName && record.device_kind == kKindUsb;
}

SystemNames SystemNamesFor(unsigned majorVersion) {
  const bool vistaOrLater = majorVersion > 5;
  return {.storageDesc = std::wstring(vistaOrLater ? kStorageDescVista : kStorageDescBeforeVista),
          .allStorageName =
              std::wstring(vistaOrLater ? kAllStorageNameVista : kAllStorageNameBeforeVista),
          .vistaOrLater = vistaOrLater};
}
