#include "devices/win32/ExplorerClosingWin32.h"

#include <windows.h>

#include "devices/win32/ShellWindowsCom.h"
#include "drives/win32/KernelDrives.h"

void Win32Sleeper::Pause(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

void CloseExplorerWindowsOnSystem(const SettingsRecord& settings) noexcept {
  try {
    KernelDrives drives;
    ComShellWindows shell;
    Win32Sleeper sleeper;
    CloseExplorerWindows(settings, drives, shell, sleeper);
  } catch (...) {
    // Out of memory while walking the shell's windows: the ones closed stay closed.
  }
}
