#include "resident/win32/TrayIcon.h"

#include <shellapi.h>

#include <cstddef>
#include <cwchar>

#include "common/win32/Handles.h"
#include "common/win32/ResourceLanguage.h"
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

namespace {

BOOL ShowBalloon(HWND window, const BalloonTexts& texts, DWORD iconFlags) {
  const win32::UniqueIcon icon = LoadTrayIcon();
  NOTIFYICONDATAW data = Record(window);
  data.uFlags = kAddFlags | NIF_INFO;
  FillIconFields(data, icon.get());
  CopyText(data.szInfo, texts.text);
  CopyText(data.szInfoTitle, texts.title);
  data.dwInfoFlags = iconFlags;
  return ::Shell_NotifyIconW(NIM_MODIFY, &data);
}

}  // namespace

BOOL ShowRemovalBalloon(HWND window, const std::wstring& name, int count) {
  const std::optional<BalloonTexts> texts =
      MakeRemovalBalloon(name, count, win32::LoadResourceString(IDS_CONGRATULATION),
                         win32::LoadResourceString(IDS_PROGRAM_NAME));
  return texts ? ShowBalloon(window, *texts, NIIF_INFO) : FALSE;
}

BOOL ShowStillRemovingBalloon(HWND window, const std::wstring& name) {
  return ShowBalloon(window,
                     MakeNameBalloon(name, win32::LoadResourceString(IDS_STILL_REMOVING),
                                     win32::LoadResourceString(IDS_PROGRAM_NAME)),
                     NIIF_WARNING);
}

BOOL ShowMomentRemovedBalloon(HWND window, const std::wstring& names) {
  return ShowBalloon(window,
                     MakeNameBalloon(names, win32::LoadResourceString(IDS_MOMENT_REMOVED),
                                     win32::LoadResourceString(IDS_PROGRAM_NAME)),
                     NIIF_INFO);
}

namespace {

// Where the second click of a double click may land: within the system's double-click
// rectangle of the first, which may lie that far from the cursor once the menu is built.
RECT DoubleClickReach(POINT cursor) {
  const int x = ::GetSystemMetrics(SM_CXDOUBLECLK);
  const int y = ::GetSystemMetrics(SM_CYDOUBLECLK);
  return {cursor.x - x, cursor.y - y, cursor.x + x + 1, cursor.y + y + 1};
}

// The popup at the cursor, in the foreground as a tray menu must be; gives what
// TrackPopupMenuEx gives for `flags`. `clearOfDoubleClick` opens it upwards from just
// above the double-click reach, or below the reach where the screen leaves no room
// above, never under the pointer.
BOOL TrackAtCursor(HWND window, HMENU popup, UINT flags, bool clearOfDoubleClick = false) {
  POINT cursor = {};
  ::GetCursorPos(&cursor);
  TPMPARAMS clear = {sizeof(TPMPARAMS), DoubleClickReach(cursor)};
  const int y = clearOfDoubleClick ? clear.rcExclude.top : cursor.y;
  if (clearOfDoubleClick) flags |= TPM_BOTTOMALIGN | TPM_VERTICAL;
  // Without the foreground the menu would not close on a click elsewhere.
  ::SetForegroundWindow(window);
  ::SetFocus(window);
  const BOOL result =
      ::TrackPopupMenuEx(popup, flags, cursor.x, y, window, clearOfDoubleClick ? &clear : nullptr);
  // Makes the switch away from this window that a menu closed by a click elsewhere needs.
  ::PostMessageW(window, WM_NULL, 0, 0);
  return result;
}

// Item i has id kFirstItemId + i: TrackPopupMenuEx gives 0 for no choice.
constexpr UINT kDefaultItemId = 1;
constexpr UINT kFirstItemId = 2;

}  // namespace

void ShowTrayMenu(HWND window) {
  const win32::UniqueMenu menu(win32::LoadMenuResource(IDM_TRAY));
  if (!menu) return;
  TrackAtCursor(window, ::GetSubMenu(menu.get(), 0), 0);
}

TextMenuChoice TrackTextMenu(HWND window, const std::wstring& defaultText,
                             const std::vector<std::wstring>& items,
                             const std::wstring& emptyText) {
  const win32::UniqueMenu menu(::CreatePopupMenu());
  if (!menu) return {};
  ::AppendMenuW(menu.get(), MF_STRING, kDefaultItemId, defaultText.c_str());
  ::SetMenuDefaultItem(menu.get(), kDefaultItemId, FALSE);
  ::AppendMenuW(menu.get(), MF_SEPARATOR, 0, nullptr);
  for (std::size_t i = 0; i < items.size(); ++i)
    ::AppendMenuW(menu.get(), MF_STRING, kFirstItemId + i, items[i].c_str());
  if (items.empty()) ::AppendMenuW(menu.get(), MF_STRING | MF_GRAYED, 0, emptyText.c_str());
  // The choice comes back here rather than as a WM_COMMAND that would need an id range.
  const auto chosen = static_cast<std::size_t>(
      TrackAtCursor(window, menu.get(), TPM_RETURNCMD | TPM_NONOTIFY, true));
  if (chosen == kDefaultItemId) return {true, std::nullopt};
  if (chosen < kFirstItemId || chosen - kFirstItemId >= items.size()) return {};
  return {false, chosen - kFirstItemId};
}
