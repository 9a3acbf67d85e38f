// The main window's registrations for the moments it acts at: the session's lock (from
// XP on), the suspend notice (explicitly from Windows 8 on, where some machines send
// nothing without it) and the display's state (Windows 8 on). Undone on destruction.
#pragma once

#include <windows.h>

#include <optional>

#include "common/win32/WindowsVersion.h"

class MomentNotifications {
 public:
  MomentNotifications() = default;
  MomentNotifications(const MomentNotifications&) = delete;
  MomentNotifications& operator=(const MomentNotifications&) = delete;
  ~MomentNotifications() { Unregister(); }

  void Register(HWND window, const win32::WindowsVersion& version);
  // Before the window is destroyed, as WTSUnRegisterSessionNotification must be called.
  void Unregister();

 private:
  HWND sessionWindow_ = nullptr;
  HPOWERNOTIFY suspend_ = nullptr;
  HPOWERNOTIFY display_ = nullptr;
};

// The display's state that a PBT_POWERSETTINGCHANGE notice carries, when it is one of
// GUID_CONSOLE_DISPLAY_STATE.
std::optional<DWORD> ConsoleDisplayState(LPARAM powerSetting);
