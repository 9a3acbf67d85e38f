#include "resident/win32/MainWnd.h"

#include <htmlhelp.h>

#include "common/win32/HtmlHelp.h"

#include "common/win32/MessageBoxPrompter.h"
#include "common/win32/ResourceStrings.h"
#include "common/win32/WindowsVersion.h"
#include "hotkeys/HotkeyRepeat.h"
#include "hotkeys/win32/WindowHotkeyRegistrar.h"
#include "resident/HotkeyTable.h"
#include "resident/win32/EjectMenuSources.h"
#include "resident/win32/RemovalWindowCloserWin32.h"
#include "resident/win32/RemovalWorkerThread.h"
#include "resident/win32/TrayIcon.h"
#include "resources/resource.h"

namespace {

// Runs `operation` on the table with the hotkey service and message boxes of `window`.
// Windows asks programs to end within about five seconds of the session's end.
constexpr DWORD kEndSessionCountWaitMs = 4000;

// The worker of a moment's removal tells its end with this, its serial in wParam.
constexpr UINT WM_MOMENT_REMOVAL_ENDED = WM_APP + 2;
// The user is back: told from the queue, so that the notice's sender is not kept waiting
// by a message box.
constexpr UINT WM_USER_BACK = WM_APP + 3;
// Defined here for the headers that leave them to wtsapi32.h or later systems.
constexpr UINT kWmWtsSessionChange = 0x02B1;
constexpr WPARAM kWtsSessionLock = 0x7;
constexpr WPARAM kWtsSessionUnlock = 0x8;
constexpr WPARAM kPbtApmSuspend = 0x4;
constexpr WPARAM kPbtApmResumeAutomatic = 0x12;
constexpr WPARAM kPbtPowerSettingChange = 0x8013;

template <typename Operation>
void WithTableHost(HWND window, unsigned extraModifiers, std::vector<tag_device_hotkey_info>& table,
                   Operation operation) {
  WindowHotkeyRegistrar registrar(window, extraModifiers);
  MessageBoxPrompter prompter(window);
  HotkeyTableHost host{table, registrar, prompter};
  operation(host);
}

}  // namespace

CMainWnd::CMainWnd(const ResidentContext& context, SheetRunner sheetRunner)
    : context_(context), logic_(state_, *this), sheetRunner_(std::move(sheetRunner)) {
  const win32::WindowsVersion version = win32::QueryWindowsVersion();
  version_ = version;
  systemShowsRemovalWindow_ = !version.IsXpOrLater();
  hotkeyExtraModifiers_ =
      NoRepeatModifiersFor(static_cast<int>(version.major), static_cast<int>(version.minor));

  const std::wstring name = win32::LoadResourceString(IDS_PROGRAM_NAME);
  WNDCLASSEXW wc = {};
  wc.style = CS_HREDRAW | CS_VREDRAW;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(1));
  wc.lpszClassName = name.c_str();
  RegisterClassFor(wc);

  Create(WS_EX_APPWINDOW, name.c_str(), name.c_str(), WS_POPUP | WS_BORDER | WS_SYSMENU, 0, 0, 0, 0,
         nullptr);
}

CMainWnd::~CMainWnd() {
  if (hwnd() != nullptr) ::DestroyWindow(hwnd());
}

LRESULT CMainWnd::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      taskbarCreatedMessage_ = ::RegisterWindowMessageW(L"TaskbarCreated");
      logic_.OnCreate();
      momentNotifications_.Register(hwnd(), version_);
      break;
    case WM_POWERBROADCAST:
      OnPowerBroadcast(wParam, lParam);
      return TRUE;
    case kWmWtsSessionChange:
      OnSessionChange(wParam);
      break;
    case WM_MOMENT_REMOVAL_ENDED:
      // A worker given up earlier may end during a later moment's removal.
      if (IsMomentRemoval(momentRemoval_, wParam)) logic_.OnMomentRemovalEnded();
      return 0;
    case WM_USER_BACK:
      logic_.OnUserBack();
      return 0;
    case WM_HOTKEY:
      logic_.OnHotkey(static_cast<std::intptr_t>(wParam));
      break;
    case WM_TRAYNOTIFY:
      logic_.OnTrayNotify(static_cast<unsigned>(lParam));
      break;
    case WM_TIMER:
      logic_.OnTimer(wParam);
      break;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam));
      break;
    case WM_CLOSE:
      if (!logic_.MayClose()) return 0;
      break;
    case WM_ENDSESSION:
      logic_.OnEndSession(wParam != FALSE);
      break;
    case WM_HELP:
      // Every help request that reaches this window opens the program's main topic.
      OpenHelp();
      return TRUE;
    case WM_DESTROY: {
      momentNotifications_.Unregister();
      const LRESULT result = DefaultProcessing(message, wParam, lParam);
      logic_.OnDestroy();
      return result;
    }
    default:
      if (message != 0 && message == taskbarCreatedMessage_) logic_.OnTaskbarCreated();
      break;
  }
  return DefaultProcessing(message, wParam, lParam);
}

bool CMainWnd::OnCommand(UINT id) {
  switch (id) {
    case ID_TRAY_SETTINGS:
      logic_.OpenSettingsSheet(kSheetPageDeviceList);
      return true;
    case ID_TRAY_HELP:
      OpenHelp();
      return true;
    case ID_TRAY_VERSION:
      logic_.OpenSettingsSheet(kSheetPageVersion);
      return true;
    case ID_TRAY_EXIT:
      logic_.OnExitCommand();
      return true;
    default:
      return false;
  }
}

void CMainWnd::OnFinalMessage() { ::PostQuitMessage(0); }

bool CMainWnd::AddTrayIcon() { return ::AddTrayIcon(hwnd()) == TRUE; }
void CMainWnd::DeleteTrayIcon() { ::DeleteTrayIcon(hwnd()); }
void CMainWnd::ShowTrayMenu() { ::ShowTrayMenu(hwnd()); }

EjectMenuAnswer CMainWnd::ChooseFromEjectMenu() {
  const std::vector<EjectMenuItem> items = CurrentEjectMenu(state_.m_aDeviceHotkeyInfo, context_);
  std::vector<std::wstring> texts;
  for (const EjectMenuItem& item : items) texts.push_back(item.text);
  const TextMenuChoice chosen =
      TrackTextMenu(hwnd(), win32::LoadResourceString(IDS_EJECT_MENU_SETTINGS), texts,
                    win32::LoadResourceString(IDS_NOTHING_TO_REMOVE));
  if (chosen.item) return {items[*chosen.item].choice, false};
  return {std::nullopt, chosen.defaultItem};
}

void CMainWnd::CloseEjectMenu() { ::EndMenu(); }

std::uintptr_t CMainWnd::StartTimer(unsigned id, unsigned periodMs) {
  return ::SetTimer(hwnd(), id, periodMs, nullptr);
}

void CMainWnd::StopTimer(std::uintptr_t id) { ::KillTimer(hwnd(), id); }

void CMainWnd::CentreMainWindow() {
  RECT rect = {};
  ::GetWindowRect(hwnd(), &rect);
  const int x = (::GetSystemMetrics(SM_CXSCREEN) - (rect.right - rect.left)) / 2;
  const int y = (::GetSystemMetrics(SM_CYSCREEN) - (rect.bottom - rect.top)) / 2;
  ::SetWindowPos(hwnd(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CMainWnd::ShowMainWindow(bool show) { ::ShowWindow(hwnd(), show ? SW_SHOW : SW_HIDE); }

void CMainWnd::BringLastActivePopupToFront() {
  ::SetForegroundWindow(::GetLastActivePopup(hwnd()));
}

void CMainWnd::LoadSettings() {
  ::LoadSettings(context_.settingsFile, false, context_.names.vistaOrLater, context_.settings);
}

// On a later system a value kept from Windows 2000 must not start counting down other
// programs' windows.
bool CMainWnd::RemoveWindowEnabled() const {
  return context_.settings.m_bRemoveWindow != 0 && systemShowsRemovalWindow_;
}

void CMainWnd::LoadRegistrations() {
  WithTableHost(hwnd(), hotkeyExtraModifiers_, state_.m_aDeviceHotkeyInfo,
                [this](HotkeyTableHost& host) {
                  ::LoadRegistrations(context_.settingsFile, context_.settings.m_nDeviceKind,
                                      context_.names.storageDesc, host);
                });
}

void CMainWnd::UnregisterAllHotkeys() {
  WithTableHost(hwnd(), hotkeyExtraModifiers_, state_.m_aDeviceHotkeyInfo,
                [](HotkeyTableHost& host) { ::UnregisterAllHotkeys(host); });
}

void CMainWnd::RunSettingsSheet(int startPage) {
  if (sheetRunner_) sheetRunner_(hwnd(), startPage);
}

void CMainWnd::RunRemovalWorker() {
  ::RunRemovalWorker(hwnd(), state_, context_, currentRemoval_, stoppedRemoval_);
}

bool CMainWnd::TellIfStillRemoving(const std::wstring& device) {
  if (StoppedRemovalDevice(stoppedRemoval_) != device) return false;
  ShowStillRemovingBalloon(hwnd(), device);
  return true;
}

void CMainWnd::DiscardQueuedHotkeys() {
  MSG message;
  while (::PeekMessageW(&message, hwnd(), WM_HOTKEY, WM_HOTKEY, PM_REMOVE)) {
  }
}

void CMainWnd::WaitForRemovalCount() {
  ::WaitForRemovalCount(currentRemoval_, kEndSessionCountWaitMs);
}

void CMainWnd::CheckRemovalWindows() { ::CheckRemovalWindows(); }

void CMainWnd::OpenHelp() {
  win32::CallHtmlHelp(hwnd(), context_.helpPath.c_str(), HH_HELP_CONTEXT, IDH_MAIN);
}

bool CMainWnd::ConfirmExit() {
  MessageBoxPrompter prompter(hwnd());
  return prompter.Show(IDS_EXIT_QUESTION, std::nullopt, IDS_CONFIRM_CAPTION,
                       MB_YESNO | MB_ICONQUESTION | MB_TOPMOST) != IDNO;
}

void CMainWnd::DestroyMainWindow() { ::DestroyWindow(hwnd()); }

void CMainWnd::OnPowerBroadcast(WPARAM event, LPARAM data) {
  if (event == kPbtApmSuspend) {
    logic_.OnEjectMoment(kEjectOnSleep);
  } else if (event == kPbtApmResumeAutomatic) {
    logic_.OnUserBackNoticed();
  } else if (event == kPbtPowerSettingChange) {
    if (const std::optional<DWORD> state = ConsoleDisplayState(data)) logic_.OnDisplayState(*state);
  }
}

void CMainWnd::OnSessionChange(WPARAM event) {
  if (event == kWtsSessionLock) logic_.OnEjectMoment(kEjectOnLock);
  if (event == kWtsSessionUnlock) logic_.OnUserBackNoticed();
}

bool CMainWnd::StartMomentRemoval(const std::vector<std::size_t>& indices) {
  momentRemoval_ = ::StartMomentRemoval(hwnd(), state_, context_, indices, WM_MOMENT_REMOVAL_ENDED,
                                        ++momentSerial_);
  return momentRemoval_ != nullptr;
}

void CMainWnd::FinishMomentRemoval(bool gaveUp) {
  if (!momentRemoval_) return;
  std::vector<MomentJobReport> report =
      ::FinishMomentRemoval(state_, *momentRemoval_, gaveUp, stoppedRemoval_);
  momentRemoval_.reset();
  // A second moment before the user came back adds to what the first one kept.
  for (MomentJobReport& part : report) momentReport_.push_back(std::move(part));
}

void CMainWnd::PostUserBack() { ::PostMessageW(hwnd(), WM_USER_BACK, 0, 0); }

std::vector<EjectChoice> CMainWnd::TellMomentReport() {
  // Taken first: a moment during the messages below keeps a report of its own.
  const std::vector<MomentJobReport> report = std::move(momentReport_);
  momentReport_.clear();
  MessageBoxPrompter prompter(hwnd());
  const MomentBalloons balloons{
      [this](const std::wstring& name, int count) {
        return ShowRemovalBalloon(hwnd(), name, count) == TRUE;
      },
      [this](const std::wstring& names) { ShowMomentRemovedBalloon(hwnd(), names); }};
  return ::TellMomentReport(report, prompter, balloons);
}
