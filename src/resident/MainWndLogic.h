// The main window's rules: creation, the busy rule for hotkeys, the tray icon's
// mouse, the timers, the settings sheet's opener and the exit.
#pragma once

#include <cstdint>

#include "resident/EjectMenu.h"
#include "resident/EjectMomentChoice.h"
#include "resident/MainWndPort.h"
#include "resident/MainWndState.h"

inline constexpr unsigned kTimerTrayRetry = 32770;
inline constexpr unsigned kTrayRetryPeriodMs = 2000;
inline constexpr unsigned kTimerRemoveWindow = 32771;
inline constexpr unsigned kRemoveWindowPeriodMs = 1000;
// Windows gives about two seconds for a suspend notice: a moment's removal that has not
// ended by then is given up, its request left to finish inside the system.
inline constexpr unsigned kTimerMomentGiveUp = 32772;
inline constexpr unsigned kMomentGiveUpMs = 1500;

inline constexpr int kSheetPageDeviceList = 0;
inline constexpr int kSheetPageVersion = 3;

// Mouse messages the tray icon reports.
inline constexpr unsigned kTrayLeftButtonDown = 0x0201;   // WM_LBUTTONDOWN
inline constexpr unsigned kTrayLeftButtonUp = 0x0202;     // WM_LBUTTONUP
inline constexpr unsigned kTrayLeftDoubleClick = 0x0203;  // WM_LBUTTONDBLCLK
inline constexpr unsigned kTrayRightButtonDown = 0x0204;  // WM_RBUTTONDOWN

class MainWndLogic {
 public:
  MainWndLogic(MainWndState& state, MainWndPort& port) : state_(state), port_(port) {}

  void OnCreate();
  void OnHotkey(std::intptr_t id);
  void StartRemoval(std::intptr_t index);
  // A choice of the eject menu: a registration as its hotkey would remove it, or a
  // device by name that nothing counts.
  void RemoveChosen(const EjectChoice& choice);
  void OnTrayNotify(unsigned mouseMessage);
  void OnTaskbarCreated();
  void OnTimer(std::uintptr_t id);
  // Start page 0 (hotkey settings) or 3 (version): runs the sheet with every
  // hotkey released, then registers them again.
  void OpenSettingsSheet(int startPage);
  void OnExitCommand();
  // Whether a WM_CLOSE may destroy the window: not while the worker reads its table.
  bool MayClose() const;
  // WM_ENDSESSION: once it returns the process may be ended at any moment.
  void OnEndSession(bool ending);
  void OnDestroy();

  // Sleep, lock or display off: the registrations that chose it are removed on the worker
  // without a window, and the call returns at once. Nothing while a removal runs (it is
  // not doubled) or the sheet is open.
  void OnEjectMoment(EjectMoment moment);
  // The worker of a moment's removal has ended.
  void OnMomentRemovalEnded() { EndMomentRemoval(false); }
  // Resume, unlock or display on: the notice is answered at once, and what a moment's
  // removal did is told from the message queue (OnUserBack), never inside the notice.
  void OnUserBackNoticed() { port_.PostUserBack(); }
  void OnUserBack();
  void OnDisplayState(std::uint32_t state);

 private:
  void StartTrayRetryTimer();
  void StartRemoveWindowTimerIfWanted();
  void StopTimer(std::uintptr_t& member);
  void OnLeftDoubleClick();
  void OpenEjectMenu();
  void RunRemoval();
  void EndMomentRemoval(bool gaveUp);
  void TellMomentReport();

  MainWndState& state_;
  MainWndPort& port_;
  bool ejectMenuOpen_ = false;
  // A double click came while the eject menu was open: the sheet opens once it closes.
  bool sheetAfterEjectMenu_ = false;
  // The release that ends a double click, which must not open the menu again.
  bool doubleClickReleasePending_ = false;
  bool momentRemovalRunning_ = false;
  std::uintptr_t momentGiveUpTimer_ = 0;
  // A moment came and the user has not been seen back since.
  bool userAway_ = false;
  bool momentReportKept_ = false;
  DisplayStateWatch display_;
};
