#include "app/win32/TollevaneApp.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <vector>

#include "app/SingleInstance.h"
#include "app/StartupMode.h"
#include "app/win32/Folders.h"
#include "commandline/win32/CommandLineModes.h"
#include "commandline/win32/RemovalRequestMode.h"
#include "common/win32/Com.h"
#include "common/win32/MessageBoxPrompter.h"
#include "common/win32/ModulePath.h"
#include "common/win32/ResourceLanguage.h"
#include "common/win32/WindowsVersion.h"
#include "resident/win32/MainWnd.h"
#include "resources/resource.h"
#include "startup/win32/ShellStartupShell.h"
#include "ui/win32/MainPropSheet.h"

namespace {

constexpr wchar_t kProgramName[] = L"Tollevane";
constexpr wchar_t kSettingsFileName[] = L"Tollevane.ini";

std::vector<std::wstring> CommandLineArguments() {
  int count = 0;
  LPWSTR* argv = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  std::vector<std::wstring> arguments;
  if (argv == nullptr) return arguments;
  for (int i = 1; i < count; ++i) arguments.emplace_back(argv[i]);
  ::LocalFree(argv);
  return arguments;
}

// Starts COM for one shortcut operation, which ends it itself.
std::optional<winvalues::HResult> RunWithCom(winvalues::HResult (*operation)(StartupShell&)) {
  if (FAILED(::CoInitialize(nullptr))) return std::nullopt;
  ShellStartupShell shell;
  return operation(shell);
}

}  // namespace

CTollevaneApp::CTollevaneApp() : m_profileStore(L""), m_settingsFile(m_profileStore) {}

CTollevaneApp::~CTollevaneApp() = default;

bool CTollevaneApp::InitInstance() {
  INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
  ::InitCommonControlsEx(&controls);

  // A settings file beside the program is nobody's STARTUP choice: it is not looked at.
  if (FindSettingsFile()) CreateStartupShortcutIfWanted();
  ChooseLanguage();

  if (RunCommandLineMode()) return false;
  if (IsOtherInstanceRunning()) return false;

  m_helpSession = std::make_unique<win32::HtmlHelpSession>();
  {
    win32::ScreenDC screen;
    m_dScaleX = ::GetDeviceCaps(screen.get(), LOGPIXELSX) / 96.0;
  }

  const ResidentContext context{m_settingsFile, m_settings, m_pszHelpFilePath, m_systemNames};
  m_pMainWnd = std::make_unique<CMainWnd>(
      context, [this](HWND parent, int startPage) { RunSettingsSheet(parent, startPage); });
  if (m_pMainWnd->hwnd() == nullptr) return false;
  ::ShowWindow(m_pMainWnd->hwnd(), SW_HIDE);
  ::UpdateWindow(m_pMainWnd->hwnd());
  return true;
}

bool CTollevaneApp::FindSettingsFile() {
  const std::optional<std::wstring> folder = SettingsFolderPath(kProgramName);
  if (!folder) {
    m_pszProfileName = win32::WithExtension(win32::ModulePath(), L".ini");
    m_profileStore.SetPath(m_pszProfileName);
    return false;
  }
  CreateFolderPath(*folder);
  m_pszProfileName = *folder + kSettingsFileName;
  m_profileStore.SetPath(m_pszProfileName);
  return true;
}

void CTollevaneApp::CreateStartupShortcutIfWanted() {
  if (::GetPrivateProfileIntW(L"APP", L"STARTUP", 1, m_pszProfileName.c_str()) == 1) {
    RunWithCom(&CreateStartupShortcut);  // silent: tried again at the next start
  }
}

void CTollevaneApp::RunSettingsSheet(HWND parent, int startPage) {
  ChooseLanguage();
  ::RunSettingsSheet(
      {m_settingsFile, m_settings, m_pszHelpFilePath, m_dScaleX, m_systemNames, parent}, startPage);
  ChooseLanguage();
}

void CTollevaneApp::ChooseLanguage() {
  const UiLanguage language = ChooseUiLanguage(
      win32::UserUiLanguage(), m_settingsFile.GetProfileString(L"APP", kLanguageKey));
  win32::UseResourceLanguage(language);
  m_systemNames = SystemNamesFor(win32::QueryWindowsVersion().major, language);
  m_pszHelpFilePath = win32::HelpFilePath(language);
}

bool CTollevaneApp::RunCommandLineMode() {
  const StartupChoice choice =
      ChooseStartupMode(CommandLineArguments(), m_systemNames.vistaOrLater);
  switch (choice.mode) {
    case StartupMode::Resident:
      return false;
    case StartupMode::CreateShortcut:
    case StartupMode::DeleteShortcut:
      HandleShortcutSwitch(choice.argument);
      return true;
    case StartupMode::List:
      LoadSettings(true);
      m_nExitStatus = RunListing(m_settings, m_systemNames, choice.utf8, choice.json);
      return true;
    case StartupMode::RemoveByDrive:
      LoadSettings(true);
      m_nExitStatus = RunRemovalByDrive(choice.argument, m_settings, m_systemNames);
      return true;
    case StartupMode::RemoveByName:
      LoadSettings(true);
      m_nExitStatus = RunRemovalByName(choice.argument, m_settings, m_systemNames);
      return true;
    case StartupMode::RemoveByRequest:
      LoadSettings(true);
      m_nExitStatus = RunRemovalRequest(CommandLineArguments(), m_settings, m_systemNames);
      return true;
  }
  return false;
}

bool CTollevaneApp::HandleShortcutSwitch(const std::wstring& argument) {
  const StartupChoice choice = ChooseStartupMode({argument}, true);
  std::optional<winvalues::HResult> result;
  if (choice.mode == StartupMode::CreateShortcut) {
    result = RunWithCom(&CreateStartupShortcut);
  } else if (choice.mode == StartupMode::DeleteShortcut) {
    result = RunWithCom(&DeleteStartupShortcut);
  } else {
    return false;
  }
  const winvalues::HResult outcome = result.value_or(winvalues::kEFail);
  if (outcome != winvalues::kSOk) {
    MessageBoxPrompter prompter([] { return ::GetActiveWindow(); });
    prompter.Show(IDS_STARTUP_FAILED, std::nullopt, IDS_ERROR_CAPTION, MB_ICONERROR);
  }
  m_nExitStatus = ExitStatusForSwitch(outcome);
  return true;
}

bool CTollevaneApp::IsOtherInstanceRunning() {
  m_hMutex.reset(::CreateMutexW(nullptr, TRUE, kProgramName));
  if (!OtherInstanceHoldsMutex(m_hMutex != nullptr, ::GetLastError())) return false;

  // By class as well: a folder window on the program's folder bears its name too.
  if (HWND other = ::FindWindowW(kProgramName, kProgramName)) {
    if (::IsIconic(other)) ::ShowWindow(other, SW_RESTORE);
    ::SetForegroundWindow(::GetLastActivePopup(other));
  }
  // Only the first instance owns the mutex; this one must not release it.
  m_hMutex.reset();
  return true;
}

int CTollevaneApp::Run() {
  MSG msg = {};
  BOOL got = 0;
  while ((got = ::GetMessageW(&msg, nullptr, 0, 0)) != 0) {
    if (got == -1) break;
    if (m_helpSession && m_helpSession->PreTranslate(msg)) continue;
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  m_nExitStatus = static_cast<int>(msg.wParam);
  return m_nExitStatus;
}

int CTollevaneApp::ExitInstance() {
  m_pMainWnd.reset();
  if (m_hMutex) ::ReleaseMutex(m_hMutex.get());
  m_helpSession.reset();
  return m_nExitStatus;
}

void CTollevaneApp::LoadSettings(bool commandLineDefaults) {
  ::LoadSettings(m_settingsFile, commandLineDefaults, m_systemNames.vistaOrLater, m_settings);
}
