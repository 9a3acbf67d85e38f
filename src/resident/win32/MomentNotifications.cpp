#include "resident/win32/MomentNotifications.h"

#include <cstring>

#include "common/win32/SystemLibrary.h"

namespace {

// GUID_CONSOLE_DISPLAY_STATE {6FE69556-704A-47A0-8F24-C28D936FDA47}
constexpr GUID kConsoleDisplayState = {
    0x6fe69556, 0x704a, 0x47a0, {0x8f, 0x24, 0xc2, 0x8d, 0x93, 0x6f, 0xda, 0x47}};
constexpr DWORD kNotifyForThisSession = 0;  // NOTIFY_FOR_THIS_SESSION
constexpr DWORD kNotifyWindowHandle = 0;    // DEVICE_NOTIFY_WINDOW_HANDLE

using RegisterSession = BOOL(WINAPI*)(HWND, DWORD);
using UnregisterSession = BOOL(WINAPI*)(HWND);
using RegisterSuspendResume = HPOWERNOTIFY(WINAPI*)(HANDLE, DWORD);
using UnregisterSuspendResume = BOOL(WINAPI*)(HPOWERNOTIFY);
using RegisterPowerSetting = HPOWERNOTIFY(WINAPI*)(HANDLE, LPCGUID, DWORD);
using UnregisterPowerSetting = BOOL(WINAPI*)(HPOWERNOTIFY);

// Windows 2000 has no wtsapi32, and none before Windows 8 has the other functions: all
// are looked up at run time.
HMODULE SessionLibrary() { return win32::LoadSystemLibrary(L"wtsapi32.dll"); }
HMODULE User32() { return ::GetModuleHandleW(L"user32.dll"); }

bool IsWindows8OrLater(const win32::WindowsVersion& version) {
  return version.major > 6 || (version.major == 6 && version.minor >= 2);
}

}  // namespace

void MomentNotifications::Register(HWND window, const win32::WindowsVersion& version) {
  if (version.IsXpOrLater()) {
    const auto registerSession =
        win32::SystemFunction<RegisterSession>(SessionLibrary(), "WTSRegisterSessionNotification");
    if (registerSession != nullptr && registerSession(window, kNotifyForThisSession))
      sessionWindow_ = window;
  }
  if (!IsWindows8OrLater(version)) return;
  if (const auto registerSuspend = win32::SystemFunction<RegisterSuspendResume>(
          User32(), "RegisterSuspendResumeNotification"))
    suspend_ = registerSuspend(window, kNotifyWindowHandle);
  if (const auto registerSetting =
          win32::SystemFunction<RegisterPowerSetting>(User32(), "RegisterPowerSettingNotification"))
    display_ = registerSetting(window, &kConsoleDisplayState, kNotifyWindowHandle);
}

void MomentNotifications::Unregister() {
  if (sessionWindow_ != nullptr) {
    if (const auto unregister = win32::SystemFunction<UnregisterSession>(
            SessionLibrary(), "WTSUnRegisterSessionNotification"))
      unregister(sessionWindow_);
    sessionWindow_ = nullptr;
  }
  if (suspend_ != nullptr) {
    if (const auto unregister = win32::SystemFunction<UnregisterSuspendResume>(
            User32(), "UnregisterSuspendResumeNotification"))
      unregister(suspend_);
    suspend_ = nullptr;
  }
  if (display_ != nullptr) {
    if (const auto unregister = win32::SystemFunction<UnregisterPowerSetting>(
            User32(), "UnregisterPowerSettingNotification"))
      unregister(display_);
    display_ = nullptr;
  }
}

std::optional<DWORD> ConsoleDisplayState(LPARAM powerSetting) {
  const auto* setting = reinterpret_cast<const POWERBROADCAST_SETTING*>(powerSetting);
  if (setting == nullptr || !::IsEqualGUID(setting->PowerSetting, kConsoleDisplayState) ||
      setting->DataLength < sizeof(DWORD))
    return std::nullopt;
  DWORD state = 0;
  std::memcpy(&state, setting->Data, sizeof(state));
  return state;
}
