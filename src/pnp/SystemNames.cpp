#include "pnp/SystemNames.h"

#include "pnp/DeviceNames.h"
#include "settings/SettingsRecord.h"

bool SystemNames::IsStorageName(std::wstring_view name) const {
  const std::wstring_view japanese = vistaOrLater ? kStorageDescVista : kStorageDescBeforeVista;
  return DeviceNamesEqual(name, japanese) || DeviceNamesEqual(name, kStorageDescEnglish);
}

bool SystemNames::IsAllStorageRecord(const tag_device_hotkey_info& record) const {
  return ::IsAllStorageRecord(record, allStorageName);
}

bool IsAllStorageRecord(const tag_device_hotkey_info& record, std::wstring_view allStorageName) {
  return record.name == allStorageName && record.device_kind == kKindUsb;
}

SystemNames SystemNamesFor(unsigned majorVersion, UiLanguage language) {
  const bool vistaOrLater = majorVersion > 5;
  const std::wstring stored(vistaOrLater ? kAllStorageNameVista : kAllStorageNameBeforeVista);
  if (language == UiLanguage::English)
    return {.storageDesc = std::wstring(kStorageDescEnglish),
            .allStorageName = stored,
            .allStorageLabel = std::wstring(kAllStorageLabelEnglish),
            .vistaOrLater = vistaOrLater,
            .language = language};
  return {.storageDesc = std::wstring(vistaOrLater ? kStorageDescVista : kStorageDescBeforeVista),
          .allStorageName = stored,
          .allStorageLabel = stored,
          .vistaOrLater = vistaOrLater};
}
