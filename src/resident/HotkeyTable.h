// The main window's registration table: the stored registrations loaded into it with
// their hotkeys, one id per table slot, and their release.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "settings/DeviceHotkeyInfo.h"

class HotkeyRegistrar;
class Prompter;
class SettingsFile;

// The main window as the table operations see it: its table (index = hotkey id), the
// hotkey service bound to it and its message boxes.
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
