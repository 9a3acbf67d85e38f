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
// Shows menu 134 at the cursor; the choice arrives as WM_COMMAND.
void ShowTrayMenu(HWND window);
// Shows a menu of `items` at the cursor, or one greyed item `emptyText` when there are
// none; the index of the item chosen.
std::optional<std::size_t> TrackTextMenu(HWND window, const std::vector<std::wstring>& items,
                                         const std::wstring& emptyText);
