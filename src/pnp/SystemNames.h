// The names the running system gives USB mass storage, and its version facts, as one
// value chosen at start-up and handed to the listing and the removal. Whatever decides
// that a node is USB mass storage reads it from here.
#pragma once

#include <string>
#include <string_view>

#include "common/UiLanguage.h"
#include "settings/DeviceHotkeyInfo.h"

inline constexpr std::wstring_view kStorageDescBeforeVista = L"USB 大容量記憶装置デバイス";
inline constexpr std::wstring_view kStorageDescVista = L"USB 大容量記憶装置";
inline constexpr std::wstring_view kAllStorageNameBeforeVista =
    L"すべての USB 大容量記憶装置デバイス";
inline constexpr std::wstring_view kAllStorageNameVista = L"すべての USB 大容量記憶装置";
// Every English Windows describes a USB mass-storage node so, from 2000 to 11.
inline constexpr std::wstring_view kStorageDescEnglish = L"USB Mass Storage Device";
inline constexpr std::wstring_view kAllStorageLabelEnglish = L"All USB Mass Storage Devices";

struct SystemNames {
  // The description of a USB mass-storage node (g_strStorageDesc) in the chosen language:
  // what /list prints first and what stands for every such device when removed by name.
  std::wstring storageDesc;
  // The name the entry that stands for every USB mass-storage device is stored under,
  // whatever the language.
  std::wstring allStorageName;
  // That entry as the list and the menu show it, in the chosen language.
  std::wstring allStorageLabel;
  // g_bVistaOrLater.
  bool vistaOrLater = false;
  // The language of every text shown beside these names (hotkeys, labels).
  UiLanguage language = UiLanguage::Japanese;

  // Whether a node's description or a registration's name stands for USB mass storage:
  // the system's Japanese description or Windows' English one, whichever language shows.
  bool IsStorageName(std::wstring_view name) const;
  bool IsAllStorageRecord(const tag_device_hotkey_info& record) const;
};

// The all-storage entry: its label and the USB kind. A hand-edited entry of another kind
// may carry the same name; it stays the entry it is.
bool IsAllStorageRecord(const tag_device_hotkey_info& record, std::wstring_view allStorageName);

// From the major version that GetVersionExW reports, with texts in `language`.
SystemNames SystemNamesFor(unsigned majorVersion, UiLanguage language = UiLanguage::Japanese);
