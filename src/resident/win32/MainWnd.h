// The program's hidden top-level window: owns the tray icon, the registration
// table and its hotkeys, starts removals and opens the settings sheet.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <vector>

#include "common/win32/Window.h"
#include "common/win32/WindowsVersion.h"
#include "resident/MainWndLogic.h"
#include "resident/MainWndPort.h"
#include "resident/MainWndState.h"
#include "resident/win32/MomentNotifications.h"
#include "resident/win32/RemovalWorkerThread.h"
#include "resident/win32/ResidentContext.h"

class CMainWnd final : public win32::Window, private MainWndPort {
 public:
  // Runs the settings sheet modally at a start page, with this window as parent.
  using SheetRunner = std::function<void(HWND parent, int startPage)>;

  // Creates the window; its creation loads the settings and registers the hotkeys.
  CMainWnd(const ResidentContext& context, SheetRunner sheetRunner);
  ~CMainWnd() override;

  bool AddTrayIcon() override;
  void StartRemoval(int index) { logic_.StartRemoval(index); }

 private:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnFinalMessage() override;
  bool OnCommand(UINT id);

  // MainWndPort
  void DeleteTrayIcon() override;
  void ShowTrayMenu() override;
  EjectMenuAnswer ChooseFromEjectMenu() override;
  void CloseEjectMenu() override;
  std::uintptr_t StartTimer(unsigned id, unsigned periodMs) override;
  void StopTimer(std::uintptr_t id) override;
  void CentreMainWindow() override;
  void ShowMainWindow(bool show) override;
  void BringLastActivePopupToFront() override;
  void LoadSettings() override;
  bool RemoveWindowEnabled() const override;
  void LoadRegistrations() override;
  void UnregisterAllHotkeys() override;
  void RunSettingsSheet(int startPage) override;
  void RunRemovalWorker() override;
  bool TellIfStillRemoving(const std::wstring& device) override;
  void DiscardQueuedHotkeys() override;
  void WaitForRemovalCount() override;
  bool StartMomentRemoval(const std::vector<std::size_t>& indices) override;
  void FinishMomentRemoval(bool gaveUp) override;
  void PostUserBack() override;
  std::vector<EjectChoice> TellMomentReport() override;
  void CheckRemovalWindows() override;
  void OnPowerBroadcast(WPARAM event, LPARAM data);
  void OnSessionChange(WPARAM event);
  void OpenHelp() override;
  bool ConfirmExit() override;
  void DestroyMainWindow() override;

  ResidentContext context_;
  // What the logic and the removal worker share; declared before the logic that holds it.
  MainWndState state_;
  MainWndLogic logic_;
  SheetRunner sheetRunner_;
  UINT taskbarCreatedMessage_ = 0;
  std::shared_ptr<RemovalWorkerShare> currentRemoval_;
  // The last removal the user stopped, alive while its worker still runs.
  std::weak_ptr<RemovalWorkerShare> stoppedRemoval_;
  std::shared_ptr<MomentRemovalRun> momentRemoval_;
  WPARAM momentSerial_ = 0;
  // What moments' removals did, kept until the user is back.
  std::vector<MomentJobReport> momentReport_;
  win32::WindowsVersion version_;
  MomentNotifications momentNotifications_;
  // MOD_NOREPEAT where the system takes it.
  unsigned hotkeyExtraModifiers_ = 0;
  // Only Windows 2000 shows the system's removal message window.
  bool systemShowsRemovalWindow_ = false;
};
