// The names the running system gives USB mass storage, and its version facts, as one
// value chosen at start-up and handed to the listing and the removal. Whatever decides
// that a node is USB mass storage reads it from here.
#pragma once

#include <string>
#include <string_view>

#include "settings/DeviceHotkeyInfo.h"

inline constexpr std::wstring_view kStorageDescBeforeVista = L"USB 大容量記憶装置デバイス";
inline constexpr std::wstring_view kStorageDescVista = L"USB 大容量記憶装置";
inline constexpr std::wstring_view kAllStorageNameBeforeVista = L"すべての USB 大容量記憶装置デバイス";
inline constexpr std::wstring_view kAllStorageNameVista = L"すべての USB 大容量記憶装置";

struct SystemNames {
  // The description of a USB mass-storage node (g_strStorageDesc).
  std::wstring storageDesc;
  // The label of the entry that stands for every USB mass-storage device.
  std::wstring allStorageName;
  // g_bVistaOrLater.
  bool vistaOrLater = false;

  // Whether a node's description or a registration's name stands for USB mass storage.
  bool IsStorageName(std::wstring_view name) const;
  bool IsAllStorageRecord(const tag_device_hotkey_info& record) const;
};

// The all-storage entry: its label and the USB kind. A hand-edited entry of another kind
// may carry the same name; it stays the entry it is.
bool IsAllStorageRecord(const tag_device_hotkey_info& record, std::wstring_view allStorageName);

// From the major version that GetVersionExW reports.
SystemNames SystemNamesFor(unsigned majorVersion);
