#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "resident/MainWndLogic.h"

// Records are spelled with designated initializers; the fields left out keep their defaults.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

// Records every call in one log, so that tests can check the order of the steps.
class RecordingMainWndPort : public MainWndPort {
 public:
  std::vector<std::string> log;
  int trayAddFailuresLeft = 0;
  bool removeWindow = false;
  std::uintptr_t nextTimerId = 100;
  std::function<void()> duringRemoval;
  // WM_HOTKEY messages posted while the UI thread was not dispatching.
  std::vector<std::intptr_t> queuedHotkeys;
  std::function<void()> duringSheet;
  bool confirmExit = true;
  EjectMenuAnswer ejectAnswer;
  std::function<void()> duringMenu;

  bool AddTrayIcon() override {
    log.push_back("AddTrayIcon");
    if (trayAddFailuresLeft > 0) {
      --trayAddFailuresLeft;
      return false;
    }
    return true;
  }
  void DeleteTrayIcon() override { log.push_back("DeleteTrayIcon"); }
  void ShowTrayMenu() override { log.push_back("ShowTrayMenu"); }
  EjectMenuAnswer ChooseFromEjectMenu() override {
    log.push_back("ChooseFromEjectMenu");
    if (duringMenu) duringMenu();
    return ejectAnswer;
  }
  void CloseEjectMenu() override { log.push_back("CloseEjectMenu"); }
  std::uintptr_t StartTimer(unsigned id, unsigned periodMs) override {
    log.push_back("StartTimer " + std::to_string(id) + " " + std::to_string(periodMs));
    return nextTimerId++;
  }
  void StopTimer(std::uintptr_t id) override { log.push_back("StopTimer " + std::to_string(id)); }
  void CentreMainWindow() override { log.push_back("CentreMainWindow"); }
  void ShowMainWindow(bool show) override { log.push_back(show ? "Show" : "Hide"); }
  void BringLastActivePopupToFront() override { log.push_back("BringToFront"); }
  void LoadSettings() override { log.push_back("LoadSettings"); }
  bool RemoveWindowEnabled() const override { return removeWindow; }
  void LoadRegistrations() override { log.push_back("LoadRegistrations"); }
  void UnregisterAllHotkeys() override { log.push_back("UnregisterAllHotkeys"); }
  void RunSettingsSheet(int startPage) override {
    log.push_back("RunSettingsSheet " + std::to_string(startPage));
    if (duringSheet) duringSheet();
  }
  void RunRemovalWorker() override {
    log.push_back("RunRemovalWorker");
    if (duringRemoval) duringRemoval();
  }
  bool TellIfStillRemoving(const std::wstring&) override { return false; }
  void DiscardQueuedHotkeys() override {
    log.push_back("DiscardQueuedHotkeys");
    queuedHotkeys.clear();
  }
  void WaitForRemovalCount() override { log.push_back("WaitForRemovalCount"); }
  bool StartMomentRemoval(const std::vector<std::size_t>& indices) override {
    log.push_back("StartMomentRemoval");
    for (const std::size_t index : indices) log.back() += " " + std::to_string(index);
    return true;
  }
  void FinishMomentRemoval(bool gaveUp) override {
    log.push_back(gaveUp ? "FinishMomentRemoval gave up" : "FinishMomentRemoval");
  }
  void PostUserBack() override { log.push_back("PostUserBack"); }
  std::vector<EjectChoice> TellMomentReport() override {
    log.push_back("TellMomentReport");
    return momentRetries;
  }
  std::vector<EjectChoice> momentRetries;
  void CheckRemovalWindows() override { log.push_back("CheckRemovalWindows"); }
  void OpenHelp() override { log.push_back("OpenHelp"); }
  bool ConfirmExit() override {
    log.push_back("ConfirmExit");
    return confirmExit;
  }
  void DestroyMainWindow() override { log.push_back("DestroyMainWindow"); }
};

using Log = std::vector<std::string>;

class MainWndLogicTest : public ::testing::Test {
 protected:
  MainWndState state;
  RecordingMainWndPort port;
  MainWndLogic logic{state, port};
};

}  // namespace

TEST_F(MainWndLogicTest, CreationAddsIconThenLoadsSettingsAndRegistrations) {
  logic.OnCreate();
  EXPECT_EQ(port.log, (Log{"AddTrayIcon", "CentreMainWindow", "LoadSettings", "LoadRegistrations"}));
  EXPECT_EQ(state.m_nTrayRetryTimer, 0u);
  EXPECT_EQ(state.m_nRemoveWindowTimer, 0u);
}

TEST_F(MainWndLogicTest, CreationStartsTimersForAFailedIconAndTheRemovalWindow) {
  port.trayAddFailuresLeft = 1;
  port.removeWindow = true;
  logic.OnCreate();
  EXPECT_EQ(port.log, (Log{"AddTrayIcon", "StartTimer 32770 2000", "CentreMainWindow",
                           "LoadSettings", "LoadRegistrations", "StartTimer 32771 1000"}));
  EXPECT_NE(state.m_nTrayRetryTimer, 0u);
  EXPECT_NE(state.m_nRemoveWindowTimer, 0u);
}

TEST_F(MainWndLogicTest, TrayIconIsRetriedEveryTickUntilTheShellAcceptsIt) {
  port.trayAddFailuresLeft = 3;
  logic.OnCreate();
  int ticks = 0;
  while (state.m_nTrayRetryTimer != 0 && ticks < 10) {
    logic.OnTimer(kTimerTrayRetry);
    ++ticks;
  }
  EXPECT_EQ(ticks, 3);
  EXPECT_EQ(std::count(port.log.begin(), port.log.end(), "AddTrayIcon"), 4);
}

TEST_F(MainWndLogicTest, TaskbarRestartAddsTheIconOnceWithoutRetry) {
  port.trayAddFailuresLeft = 1;
  logic.OnTaskbarCreated();
  EXPECT_EQ(port.log, (Log{"AddTrayIcon"}));
  EXPECT_EQ(state.m_nTrayRetryTimer, 0u);
}

TEST_F(MainWndLogicTest, RemovalWindowTimerIsStoppedDuringItsPassAndRestartedOnlyWhenWanted) {
  port.removeWindow = true;
  logic.OnCreate();
  port.log.clear();
  logic.OnTimer(kTimerRemoveWindow);
  EXPECT_EQ(port.log, (Log{"StopTimer 100", "CheckRemovalWindows", "StartTimer 32771 1000"}));

  port.removeWindow = false;
  port.log.clear();
  logic.OnTimer(kTimerRemoveWindow);
  EXPECT_EQ(port.log, (Log{"StopTimer 101", "CheckRemovalWindows"}));
  EXPECT_EQ(state.m_nRemoveWindowTimer, 0u);
}

TEST_F(MainWndLogicTest, HotkeyRemovesTheRecordAtItsIdAndClearsTheBusyFlagAfterwards) {
  state.m_aDeviceHotkeyInfo[2].name = L"USB Flash Disk";
  std::wstring nameDuringRemoval;
  bool busyDuringRemoval = false;
  port.duringRemoval = [&] {
    nameDuringRemoval = state.m_strRemoveDevice;
    busyDuringRemoval = state.m_bRemoving != 0;
  };
  logic.OnHotkey(2);
  EXPECT_EQ(nameDuringRemoval, L"USB Flash Disk");
  EXPECT_TRUE(busyDuringRemoval);
  EXPECT_EQ(state.m_nRemoveIndex, 2);
  EXPECT_FALSE(state.m_bRemoving);
  EXPECT_TRUE(state.m_strRemoveDevice.empty());
}

TEST_F(MainWndLogicTest, PressesDuringARemovalAreDroppedNotQueued) {
  state.m_aDeviceHotkeyInfo[0].name = L"A";
  state.m_aDeviceHotkeyInfo[1].name = L"B";
  port.duringRemoval = [&] {
    port.duringRemoval = nullptr;
    logic.OnHotkey(1);
    logic.OnHotkey(0);
  };
  logic.OnHotkey(0);
  EXPECT_EQ(std::count(port.log.begin(), port.log.end(), "RunRemovalWorker"), 1);
  EXPECT_EQ(state.m_nRemoveIndex, 0);
}

TEST_F(MainWndLogicTest, PressesQueuedDuringTheSilentWaitAreDiscardedBeforeTheLoopResumes) {
  state.m_aDeviceHotkeyInfo[0].name = L"A";
  port.duringRemoval = [&] { port.queuedHotkeys = {0, 0, 0}; };
  logic.OnHotkey(0);
  port.duringRemoval = nullptr;
  for (std::intptr_t id : std::vector<std::intptr_t>(port.queuedHotkeys)) logic.OnHotkey(id);
  EXPECT_EQ(port.log, (Log{"RunRemovalWorker", "DiscardQueuedHotkeys"}));
}

TEST_F(MainWndLogicTest, CloseAndEndOfSessionWaitOnlyWhileARemovalRuns) {
  state.m_aDeviceHotkeyInfo[0].name = L"A";
  EXPECT_TRUE(logic.MayClose());
  logic.OnEndSession(true);
  EXPECT_TRUE(port.log.empty());

  bool mayCloseDuringRemoval = true;
  port.duringRemoval = [&] {
    mayCloseDuringRemoval = logic.MayClose();
    logic.OnEndSession(false);  // the session goes on
    logic.OnEndSession(true);
  };
  logic.OnHotkey(0);
  EXPECT_FALSE(mayCloseDuringRemoval);
  EXPECT_EQ(port.log, (Log{"RunRemovalWorker", "WaitForRemovalCount", "DiscardQueuedHotkeys"}));
  EXPECT_TRUE(logic.MayClose());
}

TEST_F(MainWndLogicTest, IdsOutsideTheTableAreIgnored) {
  for (std::intptr_t id : {std::intptr_t{-1}, std::intptr_t{16}, std::intptr_t{1000}}) {
    logic.OnHotkey(id);
    EXPECT_FALSE(state.m_bRemoving);
  }
  EXPECT_TRUE(port.log.empty());
}

TEST_F(MainWndLogicTest, TrayMouseOpensMenuOrSheetWhenIdle) {
  logic.OnTrayNotify(kTrayRightButtonDown);
  logic.OnTrayNotify(kTrayLeftDoubleClick);
  ASSERT_GE(port.log.size(), 2u);
  EXPECT_EQ(port.log[0], "ShowTrayMenu");
  EXPECT_EQ(port.log[1], "Show");
  EXPECT_NE(std::find(port.log.begin(), port.log.end(), "RunSettingsSheet 0"), port.log.end());
}

TEST_F(MainWndLogicTest, ALeftClickOpensTheEjectMenuAtItsRelease) {
  logic.OnTrayNotify(kTrayLeftButtonDown);
  EXPECT_TRUE(port.log.empty());
  logic.OnTrayNotify(kTrayLeftButtonUp);
  EXPECT_EQ(port.log, (Log{"ChooseFromEjectMenu"}));
}

TEST_F(MainWndLogicTest, ADoubleClickOpensTheSheetAndEjectsNothing) {
  // The second press comes while the first click's menu is open, its release once it closed.
  port.ejectAnswer = {EjectChoice{std::nullopt, L"Disk"}};
  port.duringMenu = [&] { logic.OnTrayNotify(kTrayLeftDoubleClick); };
  for (const unsigned message : {kTrayLeftButtonDown, kTrayLeftButtonUp, kTrayLeftButtonUp})
    logic.OnTrayNotify(message);
  EXPECT_EQ(port.log, (Log{"ChooseFromEjectMenu", "CloseEjectMenu", "Show", "UnregisterAllHotkeys",
                           "RunSettingsSheet 0", "LoadSettings", "Hide", "LoadRegistrations"}));
}

TEST_F(MainWndLogicTest, EjectMenuChoicesRemoveAsTheirHotkeyOrUncounted) {
  struct Case {
    const char* what;
    std::optional<EjectChoice> choice;
    std::int32_t index;          // m_nRemoveIndex during the removal
    std::wstring name;           // m_strRemoveDevice during the removal
    bool removes;
    bool sheet = false;          // the menu's default item
  };
  const Case cases[] = {
      {"no choice", std::nullopt, 0, L"", false},
      {"the settings sheet", std::nullopt, 0, L"", false, true},
      {"a registration", EjectChoice{2, L"USB Flash Disk"}, 2, L"USB Flash Disk", true},
      {"a device no registration counts", EjectChoice{std::nullopt, L"Other Disk"}, kNoRegistration,
       L"Other Disk", true},
      {"a registration whose slot was reloaded with another device while the menu was open",
       EjectChoice{2, L"Card Reader"}, 0, L"", false},
      {"a registration beyond the table", EjectChoice{40, L"USB Flash Disk"}, 0, L"", false},
  };
  for (const Case& c : cases) {
    MainWndState fresh;
    fresh.m_aDeviceHotkeyInfo[2].name = L"USB Flash Disk";
    RecordingMainWndPort freshPort;
    MainWndLogic freshLogic(fresh, freshPort);
    freshPort.ejectAnswer = {c.choice, c.sheet};
    std::int32_t index = 0;
    std::wstring name;
    freshPort.duringRemoval = [&] {
      index = fresh.m_nRemoveIndex;
      name = fresh.m_strRemoveDevice;
    };
    freshLogic.OnTrayNotify(kTrayLeftButtonUp);
    const bool removed = std::count(freshPort.log.begin(), freshPort.log.end(), "RunRemovalWorker") == 1;
    EXPECT_EQ(removed, c.removes) << c.what;
    EXPECT_EQ(index, c.index) << c.what;
    EXPECT_EQ(name, c.name) << c.what;
    EXPECT_FALSE(fresh.m_bRemoving) << c.what;
    EXPECT_TRUE(fresh.m_strRemoveDevice.empty()) << c.what;
  }
}

TEST_F(MainWndLogicTest, AClickWaitingForItsMenuGivesWayToASheetOpenedMeanwhile) {
  port.duringSheet = [&] { logic.OnTrayNotify(kTrayLeftButtonUp); };
  logic.OpenSettingsSheet(kSheetPageVersion);
  EXPECT_EQ(std::count(port.log.begin(), port.log.end(), "ChooseFromEjectMenu"), 0);
}

TEST_F(MainWndLogicTest, TrayMouseBringsTheOpenWindowToTheFrontWhileBusy) {
  for (auto flag : {&MainWndState::m_bRemoving, &MainWndState::m_bSheetOpen}) {
    MainWndState busy;
    busy.*flag = 1;
    RecordingMainWndPort busyPort;
    MainWndLogic busyLogic(busy, busyPort);
    busyLogic.OnTrayNotify(kTrayRightButtonDown);
    busyLogic.OnTrayNotify(kTrayLeftDoubleClick);
    busyLogic.OnTrayNotify(kTrayLeftButtonDown);
    busyLogic.OnTrayNotify(kTrayLeftButtonUp);  // no menu follows
    EXPECT_EQ(busyPort.log, (Log{"BringToFront", "BringToFront", "BringToFront"}));
  }
}

TEST_F(MainWndLogicTest, SettingsSheetRunsWithHotkeysReleasedAndReloadsAfterwards) {
  port.removeWindow = true;
  logic.OnCreate();
  port.log.clear();
  bool openDuringSheet = false;
  port.duringSheet = [&] { openDuringSheet = state.m_bSheetOpen != 0; };
  logic.OpenSettingsSheet(kSheetPageDeviceList);
  EXPECT_TRUE(openDuringSheet);
  EXPECT_EQ(port.log, (Log{"Show", "StopTimer 100", "UnregisterAllHotkeys", "RunSettingsSheet 0",
                           "LoadSettings", "Hide", "LoadRegistrations", "StartTimer 32771 1000"}));
  EXPECT_FALSE(state.m_bSheetOpen);
}

TEST_F(MainWndLogicTest, VersionSheetKeepsTheSettingsRecord) {
  logic.OpenSettingsSheet(kSheetPageVersion);
  EXPECT_EQ(port.log, (Log{"Show", "UnregisterAllHotkeys", "RunSettingsSheet 3", "Hide",
                           "LoadRegistrations"}));
}

TEST_F(MainWndLogicTest, ASecondSheetIsRefused) {
  port.duringSheet = [&] {
    port.duringSheet = nullptr;
    logic.OpenSettingsSheet(kSheetPageDeviceList);
    logic.OpenSettingsSheet(kSheetPageVersion);
  };
  logic.OpenSettingsSheet(kSheetPageDeviceList);
  EXPECT_EQ(std::count(port.log.begin(), port.log.end(), "BringToFront"), 2);
  EXPECT_EQ(std::count_if(port.log.begin(), port.log.end(),
                          [](const std::string& s) { return s.rfind("RunSettingsSheet", 0) == 0; }),
            1);
}

TEST_F(MainWndLogicTest, ExitAsksAndDestroysUnlessTheAnswerIsNo) {
  port.confirmExit = false;
  logic.OnExitCommand();
  EXPECT_EQ(port.log, (Log{"ConfirmExit"}));
  port.confirmExit = true;
  logic.OnExitCommand();
  EXPECT_EQ(port.log, (Log{"ConfirmExit", "ConfirmExit", "DestroyMainWindow"}));
}

// A moment removes what chose it without a window and answers at once; the report waits
// for the user's return, and a removal already running is not doubled.
TEST_F(MainWndLogicTest, AMomentRemovesItsChoiceSilentlyAndTellsOnTheUsersReturn) {
  state.m_aDeviceHotkeyInfo[0] = {.name = L"Sleep Disk", .key = L"001", .eject_on = kEjectOnSleep};
  state.m_aDeviceHotkeyInfo[1] = {.name = L"Lock Disk", .key = L"002", .eject_on = kEjectOnLock};
  state.m_aDeviceHotkeyInfo[2] = {.name = L"", .eject_on = kEjectOnSleep};  // a free slot
  logic.OnEjectMoment(kEjectOnSleep);
  logic.OnEjectMoment(kEjectOnLock);  // still removing
  logic.OnHotkey(1);
  logic.OnMomentRemovalEnded();
  logic.OnTimer(kTimerMomentGiveUp);  // came after the end: nothing left to give up
  EXPECT_EQ(port.log, (Log{"StartMomentRemoval 0", "StartTimer 32772 1500", "StopTimer 100",
                           "FinishMomentRemoval", "DiscardQueuedHotkeys"}));
  EXPECT_EQ(state.m_bRemoving, 0);

  port.log.clear();
  port.momentRetries = {EjectChoice{1, L"Lock Disk"}};
  logic.OnUserBack();
  logic.OnUserBack();
  state.m_bSheetOpen = 1;
  logic.OnEjectMoment(kEjectOnLock);
  EXPECT_EQ(port.log, (Log{"TellMomentReport", "RunRemovalWorker", "DiscardQueuedHotkeys"}));
}

TEST_F(MainWndLogicTest, AMomentRemovalOutOfTimeIsGivenUpAndToldAtOnceIfTheUserIsBack) {
  state.m_aDeviceHotkeyInfo[3] = {.name = L"Disk", .key = L"STORAGE", .eject_on = 7};
  logic.OnEjectMoment(kEjectOnLock);
  logic.OnUserBack();  // unlocked before the removal ended
  port.log.clear();
  logic.OnTimer(kTimerMomentGiveUp);
  logic.OnMomentRemovalEnded();  // the given-up worker's own end changes nothing
  EXPECT_EQ(port.log, (Log{"StopTimer 100", "FinishMomentRemoval gave up", "DiscardQueuedHotkeys",
                           "TellMomentReport"}));
}

TEST(DisplayStateWatch, OnlyAChangeCountsAndDimmingIsNeither) {
  using Change = DisplayStateWatch::Change;
  const std::pair<std::vector<std::uint32_t>, std::vector<Change>> rows[] = {
      {{kDisplayOff}, {Change::None}},  // told at registration: not a change
      {{kDisplayOn, kDisplayOff, kDisplayOn}, {Change::None, Change::Off, Change::On}},
      {{kDisplayOn, kDisplayDimmed, kDisplayOff}, {Change::None, Change::None, Change::Off}},
      {{kDisplayOn, kDisplayOff, kDisplayOff}, {Change::None, Change::Off, Change::None}},
  };
  for (const auto& [states, expected] : rows) {
    DisplayStateWatch watch;
    std::vector<Change> changes;
    for (const std::uint32_t state : states) changes.push_back(watch.Update(state));
    EXPECT_EQ(changes, expected);
  }
}

TEST_F(MainWndLogicTest, DestructionStopsTimersReleasesHotkeysAndDeletesTheIcon) {
  port.trayAddFailuresLeft = 1;
  port.removeWindow = true;
  logic.OnCreate();
  port.log.clear();
  logic.OnDestroy();
  EXPECT_EQ(port.log, (Log{"StopTimer 100", "StopTimer 101", "UnregisterAllHotkeys", "DeleteTrayIcon"}));
  EXPECT_EQ(state.m_nTrayRetryTimer, 0u);
  EXPECT_EQ(state.m_nRemoveWindowTimer, 0u);
}
