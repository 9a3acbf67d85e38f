// The Startup-folder shortcut that starts the program at logon: its path and the
// create and delete operations, over a seam of the shell calls they make.
#pragma once

#include <optional>
#include <string>

#include "common/WinValues.h"

inline constexpr wchar_t kStartupShortcutName[] = L"Tollevane.LNK";

// The shell services the shortcut operations need.
class StartupShell {
 public:
  virtual ~StartupShell() = default;
  // The user's Startup folder, without creating it; nothing when it cannot be had.
  virtual std::optional<std::wstring> StartupFolder() = 0;
  virtual bool FileExists(const std::wstring& path) = 0;
  // Writes a shell link to the running program; COM is initialised already.
  virtual winvalues::HResult WriteShortcutFile(const std::wstring& path) = 0;
  virtual bool RemoveFile(const std::wstring& path) = 0;
  // Ends the caller's CoInitialize.
  virtual void CoUninitialize() = 0;
};

std::optional<std::wstring> GetStartupShortcutPath(StartupShell& shell);

// Both expect the caller to have initialised COM successfully and end that
// initialisation themselves on every path.
winvalues::HResult CreateStartupShortcut(StartupShell& shell);
winvalues::HResult DeleteStartupShortcut(StartupShell& shell);
