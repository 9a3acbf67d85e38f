// Device registrations: loading them into the resident table with their hotkeys,
// releasing them, the removal-count write-back, and the device list page's load and
// save of the whole stored set.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "settings/DeviceHotkeyInfo.h"

class HotkeyRegistrar;
class Prompter;
class SettingsFile;

inline constexpr int kMaxRegistrationNumber = 256;
inline constexpr wchar_t kStorageKey[] = L"STORAGE";

// Whether a listed record is the all-storage entry: its name and the USB kind.
bool IsAllStorageRecord(const tag_device_hotkey_info& record, const std::wstring& allStorageName);

// "%03d" of an entry number.
std::wstring RegistrationKey(int number);

// The main window as the resident registration operations see it: its table (index =
// hotkey id), the hotkey service bound to it and its message boxes.
struct HotkeyTableHost {
  std::vector<tag_device_hotkey_info>& table;
  HotkeyRegistrar& registrar;
  Prompter& prompter;
};

// Reads the stored registrations of the kinds in `deviceKind` and registers their
// hotkeys with ids 0, 1, 2, ... The storage entry gets `storageDesc` as its name.
void LoadRegistrations(const SettingsFile& file, std::uint32_t deviceKind,
                       const std::wstring& storageDesc, HotkeyTableHost& host);
bool RegisterDeviceHotkey(int id, const tag_device_hotkey_info& record, HotkeyTableHost& host);
void UnregisterAllHotkeys(HotkeyTableHost& host);

// Stores a registration's removal count under its entry key.
void WriteBackRemovalCount(SettingsFile& file, const tag_device_hotkey_info& record);

// The device list page as the load and save of registrations see it.
class RegistrationRows {
 public:
  virtual ~RegistrationRows() = default;
  virtual const std::wstring& AllStorageName() const = 0;
  virtual int AddOrUpdateRow(const tag_device_hotkey_info& record, bool refresh) = 0;
  virtual std::size_t RowCount() const = 0;
  virtual std::wstring RowText(std::size_t row) const = 0;       // column 0
  virtual tag_device_hotkey_info RowRecord(std::size_t row) const = 0;
  virtual std::int32_t RowImage(std::size_t row) const = 0;       // icon the row shows
};

void LoadRegistrationsToList(const SettingsFile& file, std::uint32_t deviceKind,
                             RegistrationRows& rows);
// Rewrites every registration section from the rows. Stored registrations that the
// page could not list because `deviceKind` hides them are carried over unchanged.
void SaveRegistrations(SettingsFile& file, std::uint32_t deviceKind, const RegistrationRows& rows);
