#include "devices/ExplorerClosing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "common/WinValues.h"
#include "fakes/ScriptedShellWindows.h"
#include "fakes/UnansweredDrives.h"
#include "settings/SettingsRecord.h"

namespace {

using winvalues::HResult;
using winvalues::kDriveCdrom;
using winvalues::kDriveFixed;
using winvalues::kDriveNoRootDir;
using winvalues::kDriveRamdisk;
using winvalues::kDriveRemote;
using winvalues::kDriveRemovable;
using winvalues::kDriveUnknown;
using winvalues::kEFail;
using winvalues::kENoInterface;
using Names = std::vector<std::wstring>;

// RPC_E_DISCONNECTED: Explorer went away in the middle of the walk.
constexpr HResult kRpcDisconnected = static_cast<HResult>(0x80010108u);
constexpr HResult kSFalse = 1;
constexpr const wchar_t* kMyComputer = L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}";

class FakeDrives final : public UnansweredDrives {
 public:
  std::map<wchar_t, unsigned> types;  // existing drive letters and their types
  std::uint32_t bitsBeyondZ = 0;
  int maskReads = 0;
  Names rootsAsked;

  std::uint32_t LogicalDriveMask() override {
    ++maskReads;
    std::uint32_t mask = bitsBeyondZ;
    for (const auto& [letter, type] : types) mask |= std::uint32_t{1} << (letter - L'A');
    return mask;
  }
  unsigned DriveType(wchar_t letter) override {
    rootsAsked.push_back({letter, L':', L'\\'});
    const auto it = types.find(letter);
    return it == types.end() ? kDriveNoRootDir : it->second;
  }
};

class RecordingSleeper final : public Sleeper {
 public:
  std::vector<std::uint32_t> pauses;
  void Pause(std::uint32_t milliseconds) override { pauses.push_back(milliseconds); }
};

ScriptedWindow NotABrowser(std::wstring name) {
  ScriptedWindow w;
  w.name = std::move(name);
  w.browserResult = kENoInterface;
  return w;
}

// After every walk, COM must be left as it was found: each connection gone, and no
// window pointer released after its collection.
void ExpectEverythingReleased(const ScriptedShellWindows& shell) {
  EXPECT_EQ(shell.openConnections, 0);
  EXPECT_EQ(shell.liveWindows, 0);
  EXPECT_FALSE(shell.windowOutlivedConnection);
}

struct WindowCase {
  const char* label;
  ScriptedWindow window;
  bool closed;
};

TEST(CloseShellWindowsOnDrives, QuitsOnlyFolderWindowsOnListedDrivesAndLooksAtTheRest) {
  ScriptedWindow nullItem = FolderWindow(L"null item", L"G:\\");
  nullItem.nullItem = true;
  ScriptedWindow webPage = FolderWindow(L"web page", L"G:\\");
  webPage.pathResult = kENoInterface;
  ScriptedWindow nullFolder;
  nullFolder.name = L"null document, folder or item";
  ScriptedWindow falseItem = FolderWindow(L"S_FALSE from Item", L"G:\\");
  falseItem.browserResult = kSFalse;

  const WindowCase cases[] = {
      {"root of a listed drive", FolderWindow(L"w", L"G:\\"), true},
      {"subfolder of a listed drive", FolderWindow(L"w", L"G:\\photos\\summer"), true},
      {"other listed drive", FolderWindow(L"w", L"F:\\"), true},
      {"fixed disk", FolderWindow(L"w", L"C:\\Users"), false},
      {"unlisted removable drive", FolderWindow(L"w", L"H:\\"), false},
      {"network share", FolderWindow(L"w", L"\\\\server\\share"), false},
      {"virtual folder", FolderWindow(L"w", kMyComputer), false},
      {"control panel", FolderWindow(L"w", L"::{21EC2020-3AEA-1069-A2DD-08002B30309D}"), false},
      {"empty path", FolderWindow(L"w", L""), false},
      {"colon first", FolderWindow(L"w", L":"), false},
      {"not a browser", NotABrowser(L"w"), false},
      {"null item", nullItem, false},
      {"web page", webPage, false},
      {"null document, folder or item", nullFolder, false},
      {"success code other than S_OK", falseItem, true},
  };
  for (const WindowCase& c : cases) {
    SCOPED_TRACE(c.label);
    ScriptedShellWindows shell;
    shell.windows = {c.window, FolderWindow(L"after", L"G:\\later")};
    shell.windows[0].name = L"w";

    const int result = CloseShellWindowsOnDrives(L"F:G:", shell);

    EXPECT_EQ(result, 1);  // the walk always reaches the window after
    EXPECT_EQ(shell.quitsAskedOf, c.closed ? Names({L"w", L"after"}) : Names({L"after"}));
    EXPECT_EQ(shell.connects, 1);
    ExpectEverythingReleased(shell);
  }
}

TEST(CloseShellWindowsOnDrives, ReturnsZeroWhenNothingWasClosed) {
  ScriptedShellWindows shell;
  shell.windows = {FolderWindow(L"c", L"C:\\"), FolderWindow(L"computer", kMyComputer)};

  EXPECT_EQ(CloseShellWindowsOnDrives(L"E:", shell), 0);
  EXPECT_EQ(CloseShellWindowsOnDrives(L"", shell), 0);

  EXPECT_TRUE(shell.quitsAskedOf.empty());
  EXPECT_EQ(shell.pathsAskedOf, Names({L"c", L"computer", L"c", L"computer"}));
  ExpectEverythingReleased(shell);
}

struct FailureCase {
  const char* label;
  std::function<void(ScriptedShellWindows&)> script;
  Names quitsAskedOf;
  int result;
};

// Collection "first" (G:, closes), "second" (G:, where the failure is put), "third" (G:).
TEST(CloseShellWindowsOnDrives, FailureEndsTheWalkAndKeepsWhatWasClosed) {
  const FailureCase cases[] = {
      {"Item fails", [](ScriptedShellWindows& s) { s.windows[1].browserResult = kEFail; },
       {L"first"}, 1},
      {"browser query fails with another code",
       [](ScriptedShellWindows& s) { s.windows[1].browserResult = kRpcDisconnected; },
       {L"first"}, 1},
      {"folder path fails", [](ScriptedShellWindows& s) { s.windows[1].pathResult = kEFail; },
       {L"first"}, 1},
      {"Quit fails", [](ScriptedShellWindows& s) { s.windows[1].quitResult = kRpcDisconnected; },
       {L"first", L"second"}, 1},
      {"get_Count fails on the second call",
       [](ScriptedShellWindows& s) { s.countFailsFromCall = 1; }, {L"first"}, 1},
      {"get_Count fails at once", [](ScriptedShellWindows& s) { s.countFailsFromCall = 0; },
       {}, 0},
      {"first Quit fails", [](ScriptedShellWindows& s) { s.windows[0].quitResult = kEFail; },
       {L"first"}, 0},
  };
  for (const FailureCase& c : cases) {
    SCOPED_TRACE(c.label);
    ScriptedShellWindows shell;
    shell.windows = {FolderWindow(L"first", L"G:\\"), FolderWindow(L"second", L"G:\\a"),
                     FolderWindow(L"third", L"G:\\b")};
    c.script(shell);

    EXPECT_EQ(CloseShellWindowsOnDrives(L"G:", shell), c.result);

    EXPECT_EQ(shell.quitsAskedOf, c.quitsAskedOf);
    EXPECT_TRUE(std::find(shell.pathsAskedOf.begin(), shell.pathsAskedOf.end(), L"third") ==
                shell.pathsAskedOf.end());
    ExpectEverythingReleased(shell);
  }
}

TEST(CloseShellWindowsOnDrives, LeavesTheWindowThatMovesUpAfterAQuitForTheNextPass) {
  for (const bool shrinks : {false, true}) {
    SCOPED_TRACE(shrinks ? "collection shrinks at once" : "collection keeps its size");
    ScriptedShellWindows shell;
    shell.shrinkOnQuit = shrinks;
    shell.windows = {FolderWindow(L"g1", L"G:\\"), FolderWindow(L"g2", L"G:\\x"),
                     FolderWindow(L"c", L"C:\\")};

    EXPECT_EQ(CloseShellWindowsOnDrives(L"G:", shell), 1);

    if (shrinks) {
      EXPECT_EQ(shell.quitsAskedOf, Names({L"g1"}));
      EXPECT_EQ(shell.pathsAskedOf, Names({L"g1", L"c"}));
      // The next eject's pass finds it.
      EXPECT_EQ(CloseShellWindowsOnDrives(L"G:", shell), 1);
      EXPECT_EQ(shell.quitsAskedOf, Names({L"g1", L"g2"}));
    } else {
      EXPECT_EQ(shell.quitsAskedOf, Names({L"g1", L"g2"}));
    }
    ExpectEverythingReleased(shell);
  }
}

TEST(CloseShellWindowsOnDrives, DoesNothingWhenTheCollectionCannotBeOpened) {
  ScriptedShellWindows shell;
  shell.connectFails = true;
  shell.windows = {FolderWindow(L"g", L"G:\\")};

  EXPECT_EQ(CloseShellWindowsOnDrives(L"G:", shell), 0);
  EXPECT_TRUE(shell.pathsAskedOf.empty());
  EXPECT_TRUE(shell.quitsAskedOf.empty());
}

struct DriveListCase {
  const char* label;
  std::map<wchar_t, unsigned> types;
  std::wstring excluded;
  std::wstring list;
};

TEST(RemovableDriveList, ListsExistingRemovableDrivesNotExcludedFromAToZ) {
  const std::map<wchar_t, unsigned> efg = {
      {L'C', kDriveFixed}, {L'E', kDriveRemovable}, {L'F', kDriveRemovable}, {L'G', kDriveRemovable}};
  const DriveListCase cases[] = {
      {"no exclusion", efg, L"", L"E:F:G:"},
      {"letters separated by semicolons", efg, L"E;F", L"G:"},
      {"letters without separators", efg, L"GE", L"F:"},
      {"lower-case letter excludes nothing", efg, L"e", L"E:F:G:"},
      {"mixed case", efg, L"e;F;g", L"E:G:"},
      {"other characters around the letters", efg, L" [F:\\], 7", L"E:G:"},
      {"only other characters", efg, L";:\\ 0123-", L"E:F:G:"},
      {"every drive excluded", efg, L"EFG", L""},
      {"no removable drive", {{L'C', kDriveFixed}, {L'D', kDriveCdrom}}, L"", L""},
      {"other drive types never listed",
       {{L'A', kDriveRemovable}, {L'B', kDriveUnknown}, {L'C', kDriveFixed},
        {L'D', kDriveCdrom}, {L'N', kDriveRemote}, {L'R', kDriveRamdisk},
        {L'V', kDriveNoRootDir}, {L'Z', kDriveRemovable}},
       L"", L"A:Z:"},
  };
  for (const DriveListCase& c : cases) {
    SCOPED_TRACE(c.label);
    FakeDrives drives;
    drives.types = c.types;
    EXPECT_EQ(RemovableDriveList(drives, c.excluded), c.list);
  }
}

TEST(RemovableDriveList, AsksTheTypeOfEachCandidateRootOnlyAndIgnoresBitsBeyondZ) {
  FakeDrives drives;
  drives.types = {{L'C', kDriveFixed}, {L'E', kDriveRemovable}, {L'F', kDriveRemovable}};
  drives.bitsBeyondZ = 0xFC000000u;

  EXPECT_EQ(RemovableDriveList(drives, L"F"), L"E:");
  EXPECT_EQ(drives.rootsAsked, Names({L"C:\\", L"E:\\"}));
}

TEST(BoundedCloseExplorerSleep, KeepsThePauseBetweenZeroAndOneMinute) {
  const struct {
    std::int32_t setting;
    std::uint32_t pause;
  } cases[] = {{500, 500},     {0, 0},         {1, 1},         {60000, 60000},
               {60001, 60000}, {INT_MAX, 60000}, {-1, 0},       {INT_MIN, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.setting);
    EXPECT_EQ(BoundedCloseExplorerSleep(c.setting), c.pause);
  }
}

// Removable E, F and G, fixed C.
class CloseExplorerWindowsTest : public ::testing::Test {
 protected:
  CloseExplorerWindowsTest() {
    drives.types = {{L'C', kDriveFixed}, {L'E', kDriveRemovable}, {L'F', kDriveRemovable},
                    {L'G', kDriveRemovable}};
    settings.m_bCloseExplorer = 1;
  }
  void Run() { CloseExplorerWindows(settings, drives, shell, sleeper); }

  SettingsRecord settings;
  FakeDrives drives;
  ScriptedShellWindows shell;
  RecordingSleeper sleeper;
};

TEST_F(CloseExplorerWindowsTest, DoesNothingAtAllWhenSwitchedOff) {
  settings.m_bCloseExplorer = 0;
  shell.windows = {FolderWindow(L"g", L"G:\\")};

  Run();

  EXPECT_EQ(shell.connects, 0);
  EXPECT_EQ(drives.maskReads, 0);
  EXPECT_TRUE(sleeper.pauses.empty());
}

TEST_F(CloseExplorerWindowsTest, RunsForAnyNonZeroSetting) {
  settings.m_bCloseExplorer = -1;
  shell.windows = {FolderWindow(L"g", L"G:\\")};

  Run();

  EXPECT_EQ(shell.quitsAskedOf, Names({L"g"}));
}

TEST_F(CloseExplorerWindowsTest, ClosesWindowsOnRemovableDrivesNotExcludedThenPauses) {
  settings.m_strCloseExplorerDrive = L"E;F";
  shell.windows = {FolderWindow(L"e", L"E:\\"), FolderWindow(L"c", L"C:\\Windows"),
                   FolderWindow(L"f", L"F:\\docs"), FolderWindow(L"g", L"G:\\photos\\summer"),
                   FolderWindow(L"share", L"\\\\server\\share")};

  Run();

  EXPECT_EQ(shell.quitsAskedOf, Names({L"g"}));
  EXPECT_EQ(sleeper.pauses, std::vector<std::uint32_t>({500}));
  ExpectEverythingReleased(shell);
}

TEST_F(CloseExplorerWindowsTest, DoesNotPauseWhenNoWindowWasClosed) {
  const struct {
    const char* label;
    std::map<wchar_t, unsigned> types;
    ScriptedWindow window;
  } cases[] = {
      {"window on a fixed disk", drives.types, FolderWindow(L"c", L"C:\\")},
      {"USB hard disk reported as fixed", {{L'H', kDriveFixed}}, FolderWindow(L"h", L"H:\\")},
      {"no removable drive", {{L'C', kDriveFixed}}, FolderWindow(L"c", L"C:\\")},
      {"not a folder window", drives.types, NotABrowser(L"x")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    drives.types = c.types;
    shell = ScriptedShellWindows();
    shell.windows = {c.window};
    sleeper.pauses.clear();

    Run();

    EXPECT_EQ(shell.connects, 1);  // enumerated even with an empty drive list
    EXPECT_TRUE(shell.quitsAskedOf.empty());
    EXPECT_TRUE(sleeper.pauses.empty());
  }
}

TEST_F(CloseExplorerWindowsTest, DoesNotPauseWhenTheShellCannotBeReached) {
  shell.connectFails = true;

  Run();

  EXPECT_TRUE(sleeper.pauses.empty());
}

TEST_F(CloseExplorerWindowsTest, StillPausesWhenAFailureEndsTheWalkAfterAClose) {
  shell.windows = {FolderWindow(L"g", L"G:\\"), FolderWindow(L"broken", L"E:\\")};
  shell.windows[1].pathResult = kRpcDisconnected;

  Run();

  EXPECT_EQ(shell.quitsAskedOf, Names({L"g"}));
  EXPECT_EQ(sleeper.pauses, std::vector<std::uint32_t>({500}));
}

TEST_F(CloseExplorerWindowsTest, PausesForTheBoundedSetting) {
  // Sleep would take -1 as INFINITE and hold the eject back for ever.
  settings.m_nCloseExplorerSleep = -1;
  shell.windows = {FolderWindow(L"g", L"G:\\")};

  Run();

  EXPECT_EQ(sleeper.pauses, std::vector<std::uint32_t>({0}));
}

}  // namespace
