// What the main window's logic needs from Windows: its tray icon, timers, the
// window itself, the settings sheet, the removal worker and the system's dialogs.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "resident/EjectMenu.h"

// What the eject menu gave back: a device to remove, its default item (the settings
// sheet), or neither when the user chose nothing.
struct EjectMenuAnswer {
  std::optional<EjectChoice> device;
  bool settingsSheet = false;
};

class MainWndPort {
 public:
  virtual ~MainWndPort() = default;

  virtual bool AddTrayIcon() = 0;
  virtual void DeleteTrayIcon() = 0;
  virtual void ShowTrayMenu() = 0;
  // Builds the eject menu from what is plugged in now and shows it at the cursor, clear
  // of where a second click of a double click can land, until the user chooses or it is
  // closed.
  virtual EjectMenuAnswer ChooseFromEjectMenu() = 0;
  // Closes the eject menu while ChooseFromEjectMenu shows it, which then answers nothing.
  virtual void CloseEjectMenu() = 0;

  // SetTimer on the main window; 0 when no timer could be started.
  virtual std::uintptr_t StartTimer(unsigned id, unsigned periodMs) = 0;
  virtual void StopTimer(std::uintptr_t id) = 0;

  virtual void CentreMainWindow() = 0;
  virtual void ShowMainWindow(bool show) = 0;
  // Brings the window in front of the main window (an open sheet or wait dialog).
  virtual void BringLastActivePopupToFront() = 0;

  // LoadSettings with the resident defaults; REMOVE_WINDOW of the loaded record.
  virtual void LoadSettings() = 0;
  virtual bool RemoveWindowEnabled() const = 0;
  virtual void LoadRegistrations() = 0;
  virtual void UnregisterAllHotkeys() = 0;

  // Builds the settings sheet at `startPage` and runs it modally.
  virtual void RunSettingsSheet(int startPage) = 0;
  // Runs the removal worker and waits for it, with the wait dialog when it is slow,
  // until it ends or the user abandons it.
  virtual void RunRemovalWorker() = 0;
  // True, after telling the user so, while a removal of `device` that the user stopped
  // is still inside its eject request: the system ends that request on its own, and
  // another one of the same device would only queue behind it.
  virtual bool TellIfStillRemoving(const std::wstring& device) = 0;
  // Drops the hotkey presses queued while a removal ran.
  virtual void DiscardQueuedHotkeys() = 0;
  // Waits, for a bounded time, until the running removal's count is stored.
  virtual void WaitForRemovalCount() = 0;
  // Starts the silent removal of the registrations at `indices` on the worker and returns
  // at once; false when no worker could start. Its end comes as OnMomentRemovalEnded.
  virtual bool StartMomentRemoval(const std::vector<std::size_t>& indices) = 0;
  // Takes the counts of the moment's removal into the table and keeps its report. When
  // `gaveUp`, what is still running is abandoned, as a forced stop abandons it.
  virtual void FinishMomentRemoval(bool gaveUp) = 0;
  // Has OnUserBack called from the message queue.
  virtual void PostUserBack() = 0;
  // Tells the kept report; gives the registrations the user asked to try again.
  virtual std::vector<EjectChoice> TellMomentReport() = 0;
  // One pass of the system removal window's closer.
  virtual void CheckRemovalWindows() = 0;

  virtual void OpenHelp() = 0;
  // The exit question; true unless the user answered No.
  virtual bool ConfirmExit() = 0;
  virtual void DestroyMainWindow() = 0;
};
