#include "resident/win32/TrayIcon.h"

#include <shellapi.h>

#include <cstddef>
#include <cwchar>

#include "common/win32/Handles.h"
#include "common/win32/ResourceStrings.h"
#include "common/win32/WindowsVersion.h"
#include "resident/RemovalBalloon.h"
#include "resources/resource.h"

namespace {

// The record layout with the balloon fields, which every supported system accepts.
constexpr DWORD kNotifyIconDataSize = offsetof(NOTIFYICONDATAW, guidItem);
#ifndef _WIN64
static_assert(kNotifyIconDataSize == 936, "the 32-bit balloon record is 936 bytes");
#endif

constexpr UINT kIconId = 0;
constexpr UINT kAddFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;

win32::UniqueIcon LoadTrayIcon() {
  // Windows 2000's notification area shows 16 colours best.
  const UINT flags = win32::QueryWindowsVersion().IsXpOrLater() ? LR_DEFAULTCOLOR : LR_VGACOLOR;
  // The small-icon size grows with the screen's scale (20 at 125 %, 24 at 150 %).
  return win32::UniqueIcon(static_cast<HICON>(
      ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON,
                   ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), flags)));
}

NOTIFYICONDATAW Record(HWND window) {
  NOTIFYICONDATAW data = {};
  data.cbSize = kNotifyIconDataSize;
  data.hWnd = window;
  data.uID = kIconId;
  return data;
}

template <std::size_t N>
void CopyText(wchar_t (&field)[N], const std::wstring& text) {
  std::wcsncpy(field, text.c_str(), N - 1);
  field[N - 1] = L'\0';
}

void FillIconFields(NOTIFYICONDATAW& data, HICON icon) {
  data.uCallbackMessage = WM_TRAYNOTIFY;
  data.hIcon = icon;
  CopyText(data.szTip, win32::LoadResourceString(IDS_PROGRAM_NAME));
}

}  // namespace

BOOL AddTrayIcon(HWND window) {
  const win32::UniqueIcon icon = LoadTrayIcon();  // the shell keeps its own copy
  NOTIFYICONDATAW data = Record(window);
  data.uFlags = kAddFlags;
  FillIconFields(data, icon.get());
  return ::Shell_NotifyIconW(NIM_ADD, &data);
}

void DeleteTrayIcon(HWND window) {
  NOTIFYICONDATAW data = Record(window);
  ::Shell_NotifyIconW(NIM_DELETE, &data);
}

BOOL ShowRemovalBalloon(HWND window, const std::wstring& name, int count) {
  const std::optional<BalloonTexts> texts =
      MakeRemovalBalloon(name, count, win32::LoadResourceString(IDS_CONGRATULATION),
                         win32::LoadResourceString(IDS_PROGRAM_NAME));
  if (!texts) return FALSE;
  const win32::UniqueIcon icon = LoadTrayIcon();
  NOTIFYICONDATAW data = Record(window);
  data.uFlags = kAddFlags | NIF_INFO;
  FillIconFields(data, icon.get());
  CopyText(data.szInfo, texts->text);
  CopyText(data.szInfoTitle, texts->title);
  data.dwInfoFlags = NIIF_INFO;
  return ::Shell_NotifyIconW(NIM_MODIFY, &data);
}

void ShowTrayMenu(HWND window) {
  POINT cursor = {};
  ::GetCursorPos(&cursor);
  const win32::UniqueMenu menu(::LoadMenuW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDM_TRAY)));
  if (!menu) return;
  HMENU popup = ::GetSubMenu(menu.get(), 0);
  // Without the foreground the menu would not close on a click elsewhere.
  ::SetForegroundWindow(window);
  ::SetFocus(window);
  ::TrackPopupMenu(popup, 0, cursor.x, cursor.y, 0, window, nullptr);
  ::PostMessageW(window, WM_NULL, 0, 0);
}
