#include "resident/MainWndLogic.h"

void MainWndLogic::StopTimer(std::uintptr_t& member) {
  if (member != 0) port_.StopTimer(member);
  member = 0;
}

void MainWndLogic::StartTrayRetryTimer() {
  state_.m_nTrayRetryTimer = port_.StartTimer(kTimerTrayRetry, kTrayRetryPeriodMs);
}

void MainWndLogic::StartRemoveWindowTimerIfWanted() {
  if (port_.RemoveWindowEnabled()) {
    state_.m_nRemoveWindowTimer = port_.StartTimer(kTimerRemoveWindow, kRemoveWindowPeriodMs);
  }
}

void MainWndLogic::OnCreate() {
  if (!port_.AddTrayIcon()) StartTrayRetryTimer();
  port_.CentreMainWindow();
  port_.LoadSettings();
  port_.LoadRegistrations();
  StartRemoveWindowTimerIfWanted();
}

void MainWndLogic::OnHotkey(std::intptr_t id) {
  // A press during a removal is dropped, not queued.
  if (!state_.m_bRemoving) StartRemoval(id);
}

void MainWndLogic::StartRemoval(std::intptr_t index) {
  state_.m_bRemoving = 1;
  state_.m_nRemoveIndex = static_cast<std::int32_t>(index);
  if (index < 0 || static_cast<std::size_t>(index) >= state_.m_aDeviceHotkeyInfo.size()) {
    state_.m_bRemoving = 0;
    return;
  }
  state_.m_strRemoveDevice = state_.m_aDeviceHotkeyInfo[static_cast<std::size_t>(index)].name;
  RunRemoval();
}

void MainWndLogic::RemoveChosen(const EjectChoice& choice) {
  if (state_.m_bRemoving || state_.m_bSheetOpen) return;
  if (choice.registration) {
    // The menu's loop dispatches messages: a sheet opened and closed meanwhile reloads
    // the table, and the index may now name another device.
    const std::size_t index = *choice.registration;
    if (index < state_.m_aDeviceHotkeyInfo.size() &&
        state_.m_aDeviceHotkeyInfo[index].name == choice.name)
      StartRemoval(static_cast<std::intptr_t>(index));
    return;
  }
  state_.m_bRemoving = 1;
  state_.m_nRemoveIndex = kNoRegistration;
  state_.m_strRemoveDevice = choice.name;
  RunRemoval();
}

void MainWndLogic::RunRemoval() {
  if (!port_.TellIfStillRemoving(state_.m_strRemoveDevice)) port_.RunRemovalWorker();
  // WM_HOTKEY is posted: presses made meanwhile would each start another removal.
  port_.DiscardQueuedHotkeys();
  state_.m_strRemoveDevice.clear();
  state_.m_bRemoving = 0;
  // The user came back while this removal ran: what a moment kept is told now.
  if (!userAway_) TellMomentReport();
}

// The menu opens at the release of a single click, as the system's own tray menus do,
// rather than once the double-click time has passed; a double click then finds it open.
void MainWndLogic::OnTrayNotify(unsigned mouseMessage) {
  const bool busy = state_.m_bSheetOpen || state_.m_bRemoving;
  if (mouseMessage == kTrayLeftButtonDown) {
    doubleClickReleasePending_ = false;
    if (busy) port_.BringLastActivePopupToFront();
  } else if (mouseMessage == kTrayLeftButtonUp) {
    if (doubleClickReleasePending_) {
      doubleClickReleasePending_ = false;
    } else if (!busy && !ejectMenuOpen_) {
      OpenEjectMenu();
    }
  } else if (mouseMessage == kTrayLeftDoubleClick) {
    OnLeftDoubleClick();
  } else if (mouseMessage == kTrayRightButtonDown) {
    if (busy) {
      port_.BringLastActivePopupToFront();
    } else {
      port_.ShowTrayMenu();
    }
  }
}

void MainWndLogic::OnLeftDoubleClick() {
  doubleClickReleasePending_ = true;
  if (!ejectMenuOpen_) {
    OpenSettingsSheet(kSheetPageDeviceList);
    return;
  }
  // The sheet is not opened from inside the menu's loop: its choice must be dropped first.
  sheetAfterEjectMenu_ = true;
  port_.CloseEjectMenu();
}

void MainWndLogic::OpenEjectMenu() {
  ejectMenuOpen_ = true;
  sheetAfterEjectMenu_ = false;
  const EjectMenuAnswer answer = port_.ChooseFromEjectMenu();
  ejectMenuOpen_ = false;
  if (sheetAfterEjectMenu_ || answer.settingsSheet) {
    OpenSettingsSheet(kSheetPageDeviceList);
  } else if (answer.device) {
    RemoveChosen(*answer.device);
  }
}

void MainWndLogic::OnTaskbarCreated() {
  // Once only: a failure here waits for the next shell restart.
  port_.AddTrayIcon();
}

void MainWndLogic::OnTimer(std::uintptr_t id) {
  if (id == kTimerTrayRetry) {
    StopTimer(state_.m_nTrayRetryTimer);
    if (!port_.AddTrayIcon()) StartTrayRetryTimer();
  } else if (id == kTimerMomentGiveUp) {
    EndMomentRemoval(true);
  } else if (id == kTimerRemoveWindow) {
    // Stopped while the pass runs, so that a slow pass never overlaps itself.
    StopTimer(state_.m_nRemoveWindowTimer);
    port_.CheckRemovalWindows();
    StartRemoveWindowTimerIfWanted();
  }
}

void MainWndLogic::OpenSettingsSheet(int startPage) {
  // The version variant refuses only a second sheet and keeps the settings record
  // as it is: nothing it shows can change the record.
  const bool versionOnly = startPage == kSheetPageVersion;
  if (state_.m_bSheetOpen || (!versionOnly && state_.m_bRemoving)) {
    port_.BringLastActivePopupToFront();
    return;
  }
  state_.m_bSheetOpen = 1;
  port_.ShowMainWindow(true);
  StopTimer(state_.m_nRemoveWindowTimer);
  port_.UnregisterAllHotkeys();
  port_.RunSettingsSheet(startPage);
  if (!versionOnly) port_.LoadSettings();
  state_.m_bSheetOpen = 0;
  if (!versionOnly) state_.m_bRemoving = 0;
  port_.ShowMainWindow(false);
  port_.LoadRegistrations();
  StartRemoveWindowTimerIfWanted();
}

void MainWndLogic::OnExitCommand() {
  if (port_.ConfirmExit()) port_.DestroyMainWindow();
}

bool MainWndLogic::MayClose() const { return state_.m_bRemoving == 0; }

void MainWndLogic::OnEndSession(bool ending) {
  if (ending && state_.m_bRemoving) port_.WaitForRemovalCount();
}

void MainWndLogic::OnDestroy() {
  StopTimer(state_.m_nTrayRetryTimer);
  StopTimer(state_.m_nRemoveWindowTimer);
  port_.UnregisterAllHotkeys();
  port_.DeleteTrayIcon();
}

void MainWndLogic::OnEjectMoment(EjectMoment moment) {
  userAway_ = true;
  if (state_.m_bRemoving || state_.m_bSheetOpen) return;
  const std::vector<std::size_t> chosen = RegistrationsFor(state_.m_aDeviceHotkeyInfo, moment);
  if (chosen.empty()) return;
  // Set before the worker starts: a hotkey pressed meanwhile is dropped as during any removal.
  state_.m_bRemoving = 1;
  if (!port_.StartMomentRemoval(chosen)) {
    state_.m_bRemoving = 0;
    return;
  }
  momentRemovalRunning_ = true;
  momentGiveUpTimer_ = port_.StartTimer(kTimerMomentGiveUp, kMomentGiveUpMs);
}

void MainWndLogic::EndMomentRemoval(bool gaveUp) {
  StopTimer(momentGiveUpTimer_);
  if (!momentRemovalRunning_) return;
  momentRemovalRunning_ = false;
  port_.FinishMomentRemoval(gaveUp);
  port_.DiscardQueuedHotkeys();
  state_.m_strRemoveDevice.clear();
  state_.m_bRemoving = 0;
  momentReportKept_ = true;
  // A lock undone before the removal ended: the user is already there to be told.
  if (!userAway_) TellMomentReport();
}

void MainWndLogic::OnUserBack() {
  userAway_ = false;
  TellMomentReport();
}

void MainWndLogic::OnDisplayState(std::uint32_t state) {
  const DisplayStateWatch::Change change = display_.Update(state);
  if (change == DisplayStateWatch::Change::Off) OnEjectMoment(kEjectOnDisplayOff);
  if (change == DisplayStateWatch::Change::On) OnUserBackNoticed();
}

void MainWndLogic::TellMomentReport() {
  // Kept until no removal runs: its messages would otherwise meet the wait dialog's.
  if (!momentReportKept_ || state_.m_bRemoving) return;
  momentReportKept_ = false;
  for (const EjectChoice& retry : port_.TellMomentReport()) RemoveChosen(retry);
}
