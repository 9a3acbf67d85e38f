#include "resident/win32/ExplorerClosingWin32.h"

#include <windows.h>

#include "resident/win32/DrivesWin32.h"
#include "resident/win32/ShellWindowsCom.h"

void Win32Sleeper::Pause(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

void CloseExplorerWindowsOnSystem(const SettingsRecord& settings) noexcept {
  try {
    Win32Drives drives;
    ComShellWindows shell;
    Win32Sleeper sleeper;
    CloseExplorerWindows(settings, drives, shell, sleeper);
  } catch (...) {
    // Out of memory while walking the shell's windows: the ones closed stay closed.
  }
}
