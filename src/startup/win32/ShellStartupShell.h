// The Startup-folder shortcut's shell calls on Windows: the special folder, the
// file system and the shell link object.
#pragma once

#include "startup/StartupShortcut.h"

class ShellStartupShell final : public StartupShell {
 public:
  std::optional<std::wstring> StartupFolder() override;
  bool FileExists(const std::wstring& path) override;
  winvalues::HResult WriteShortcutFile(const std::wstring& path) override;
  bool RemoveFile(const std::wstring& path) override;
  void CoUninitialize() override;
};
