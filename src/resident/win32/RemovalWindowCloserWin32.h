// One pass of the Windows 2000 removal-window closer over the top-level windows.
#pragma once

#include <windows.h>

BOOL CALLBACK CloseRemovalWindowProc(HWND window, LPARAM);
void CheckRemovalWindows();
