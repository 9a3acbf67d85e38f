// HtmlHelpW, reached through hhctrl.ocx at run time so that a system without the
// help component still starts the program; help is then simply not shown.
#pragma once

#include <windows.h>

namespace win32 {
HWND CallHtmlHelp(HWND caller, const wchar_t* file, UINT command, DWORD_PTR data);
}  // namespace win32
