// The application object: settings-file and help-file paths, the settings record,
// the system's names, the screen scale, the single-instance mutex, and the start-up
// modes. It hands the windows what they read.
#pragma once

#include <windows.h>

#include <memory>
#include <string>

#include "common/win32/Handles.h"
#include "common/win32/HtmlHelp.h"
#include "pnp/SystemNames.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsRecord.h"
#include "settings/win32/PrivateProfileStore.h"

class CMainWnd;

class CTollevaneApp {
 public:
  CTollevaneApp();
  virtual ~CTollevaneApp();
  CTollevaneApp(const CTollevaneApp&) = delete;
  CTollevaneApp& operator=(const CTollevaneApp&) = delete;

  // True: the resident mode's message loop runs next. False: the process ends.
  virtual bool InitInstance();
  // Returns the process's exit status.
  virtual int ExitInstance();
  // The message loop of the resident mode; returns WM_QUIT's value.
  int Run();

  // Whether `argument` was one of the shortcut switches (which then ran).
  bool HandleShortcutSwitch(const std::wstring& argument);

  void LoadSettings(bool commandLineDefaults);

  std::wstring m_pszProfileName;
  std::wstring m_pszHelpFilePath;
  SettingsRecord m_settings;
  // Chosen from the running system before any mode runs; its texts follow the language,
  // chosen again before and after each opening of the settings sheet.
  SystemNames m_systemNames;
  double m_dScaleX = 1.0;
  // Only the resident mode starts the help component.
  std::unique_ptr<win32::HtmlHelpSession> m_helpSession;
  win32::UniqueHandle m_hMutex;
  std::unique_ptr<CMainWnd> m_pMainWnd;

 private:
  // True when the settings live in the user's folder rather than beside the program.
  bool FindSettingsFile();
  void CreateStartupShortcutIfWanted();
  void RunSettingsSheet(HWND parent, int startPage);
  // Picks the language from the settings file and Windows, for every window opened from
  // now on, with the names and the help file that go with it.
  void ChooseLanguage();
  bool RunCommandLineMode();
  bool IsOtherInstanceRunning();

  PrivateProfileStore m_profileStore;
  SettingsFile m_settingsFile;
  int m_nExitStatus = 0;
};

// The one application object of the process.
CTollevaneApp& TheApp();
