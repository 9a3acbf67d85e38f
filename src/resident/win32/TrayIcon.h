// The notification-area icon of the main window: add, delete, the congratulation
// balloon and the popup menu.
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

inline constexpr UINT WM_TRAYNOTIFY = WM_APP + 1;  // 32769

BOOL AddTrayIcon(HWND window);
void DeleteTrayIcon(HWND window);
// FALSE without doing anything when `count` is not a milestone.
BOOL ShowRemovalBalloon(HWND window, const std::wstring& name, int count);
// Why a press does nothing: the removal of `name`, stopped by the user, still runs.
BOOL ShowStillRemovingBalloon(HWND window, const std::wstring& name);
// What a moment (sleep, lock, display off) removed, told once the user is back.
BOOL ShowMomentRemovedBalloon(HWND window, const std::wstring& names);
// Shows menu 134 at the cursor; the choice arrives as WM_COMMAND.
void ShowTrayMenu(HWND window);
// What a text menu gave back: its default item, an item by index, or neither.
struct TextMenuChoice {
  bool defaultItem = false;
  std::optional<std::size_t> item;
};
// Shows at the cursor a menu of `defaultText` in bold, then `items`, or one greyed item
// `emptyText` when there are none. It keeps clear of the double-click rectangle around
// the cursor: the second click of a double click lands beside it and chooses nothing.
TextMenuChoice TrackTextMenu(HWND window, const std::wstring& defaultText,
                             const std::vector<std::wstring>& items, const std::wstring& emptyText);
