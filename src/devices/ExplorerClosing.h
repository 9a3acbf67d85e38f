// Closing of the Explorer windows that show removable drives, just before a USB
// mass-storage device is ejected, so that an open window does not veto the eject.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

class Drives;
class ShellWindows;
struct SettingsRecord;

// Seam over Sleep, so that the pause can be seen without being waited for.
class Sleeper {
 public:
  virtual ~Sleeper() = default;
  virtual void Pause(std::uint32_t milliseconds) = 0;
};

// A hand-edited CLOSE_EXPLORER_SLEEP beyond this, or below 0, would hold the eject
// back for a long time (a negative value reaches Sleep as INFINITE).
inline constexpr std::int32_t kMaxCloseExplorerSleepMs = 60000;

// CLOSE_EXPLORER_SLEEP bounded to 0 .. kMaxCloseExplorerSleepMs.
std::uint32_t BoundedCloseExplorerSleep(std::int32_t milliseconds);

// "F:H:" for the existing removable drives F and H, A to Z, leaving out every drive
// whose upper-case letter occurs anywhere in `excluded`.
std::wstring RemovableDriveList(Drives& drives, std::wstring_view excluded);

// Quits every shell window showing a folder whose path begins with a letter of
// `driveList`. Returns 1 if at least one window was told to quit, else 0.
int CloseShellWindowsOnDrives(std::wstring_view driveList, ShellWindows& shell);

// The whole step before an eject: nothing when CLOSE_EXPLORER is off; otherwise the
// windows on removable drives that are not excluded are closed, and the worker pauses
// for CLOSE_EXPLORER_SLEEP when at least one was.
void CloseExplorerWindows(const SettingsRecord& settings, Drives& drives, ShellWindows& shell,
                          Sleeper& sleeper);
