#include "devices/ExplorerClosing.h"

#include <algorithm>
#include <memory>
#include <optional>

#include "common/WinValues.h"
#include "devices/ShellWindows.h"
#include "drives/Drives.h"
#include "settings/SettingsRecord.h"

namespace {

using winvalues::HResult;

constexpr int kDriveLetterCount = 26;

constexpr bool Failed(HResult hr) { return hr < 0; }

// What one answer of the shell means for the window at hand.
enum class Verdict { kGoOn, kNextWindow, kEndWalk };

// A null answer or a query that says "no such interface" only means that this window
// is not an Explorer folder window; any other failure ends the walk.
Verdict Judge(HResult hr, bool answered) {
  if (hr == winvalues::kENoInterface) return Verdict::kNextWindow;
  if (Failed(hr)) return Verdict::kEndWalk;
  return answered ? Verdict::kGoOn : Verdict::kNextWindow;
}

// Virtual folders report parsing names such as "::{20D04FE0-...}", whose colon must
// not match the colons between the list's letters.
bool ListHoldsDrive(std::wstring_view driveList, wchar_t first) {
  return first >= L'A' && first <= L'Z' && driveList.find(first) != std::wstring_view::npos;
}

}  // namespace

std::uint32_t BoundedCloseExplorerSleep(std::int32_t milliseconds) {
  return static_cast<std::uint32_t>(std::clamp(milliseconds, 0, kMaxCloseExplorerSleepMs));
}

std::wstring RemovableDriveList(Drives& drives, std::wstring_view excluded) {
  const std::uint32_t mask = drives.LogicalDriveMask();
  std::wstring list;
  for (int bit = 0; bit < kDriveLetterCount; ++bit) {
    if ((mask & (std::uint32_t{1} << bit)) == 0) continue;
    const wchar_t letter = static_cast<wchar_t>(L'A' + bit);
    if (excluded.find(letter) != std::wstring_view::npos) continue;
    if (drives.DriveType(letter) != winvalues::kDriveRemovable) continue;
    list += letter;
    list += L':';
  }
  return list;
}

int CloseShellWindowsOnDrives(std::wstring_view driveList, ShellWindows& shell) {
  const std::unique_ptr<ShellWindowsConnection> connection = shell.Connect();
  if (!connection) return 0;

  int result = 0;
  // Positions are not adjusted after a Quit: when the collection shrinks at once, the
  // window that moves into the closed one's place is left for the next eject.
  for (std::int32_t i = 0;; ++i) {
    std::int32_t count = 0;
    if (Failed(connection->GetCount(count)) || i >= count) break;

    std::unique_ptr<ShellBrowserWindow> window;
    HResult hr = connection->GetBrowser(i, window);
    Verdict verdict = Judge(hr, window != nullptr);
    if (verdict == Verdict::kEndWalk) break;
    if (verdict == Verdict::kNextWindow) continue;

    std::optional<std::wstring> path;
    hr = window->GetFolderPath(path);
    verdict = Judge(hr, path.has_value());
    if (verdict == Verdict::kEndWalk) break;
    if (verdict == Verdict::kNextWindow) continue;

    if (path->empty() || !ListHoldsDrive(driveList, path->front())) continue;
    if (Failed(window->Quit())) break;
    result = 1;
  }
  return result;
}

void CloseExplorerWindows(const SettingsRecord& settings, Drives& drives, ShellWindows& shell,
                          Sleeper& sleeper) {
  if (settings.m_bCloseExplorer == 0) return;
  const std::wstring list = RemovableDriveList(drives, settings.m_strCloseExplorerDrive);
  if (CloseShellWindowsOnDrives(list, shell) == 1) {
    sleeper.Pause(BoundedCloseExplorerSleep(settings.m_nCloseExplorerSleep));
  }
}
