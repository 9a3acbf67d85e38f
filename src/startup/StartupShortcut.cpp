#include "startup/StartupShortcut.h"

using winvalues::HResult;
using winvalues::kEFail;
using winvalues::kSOk;

namespace {

std::wstring WithTrailingBackslash(std::wstring folder) {
  if (folder.empty() || folder.back() != L'\\') folder += L'\\';
  return folder;
}

// Runs `operation` on the shortcut path and ends COM whatever happens.
template <typename Operation>
HResult WithShortcutPath(StartupShell& shell, Operation operation) {
  const std::optional<std::wstring> path = GetStartupShortcutPath(shell);
  const HResult result = path ? operation(*path) : kEFail;
  shell.CoUninitialize();
  return result;
}

}  // namespace

std::optional<std::wstring> GetStartupShortcutPath(StartupShell& shell) {
  std::optional<std::wstring> folder = shell.StartupFolder();
  if (!folder) return std::nullopt;
  return WithTrailingBackslash(std::move(*folder)) + kStartupShortcutName;
}

HResult CreateStartupShortcut(StartupShell& shell) {
  return WithShortcutPath(shell, [&shell](const std::wstring& path) {
    // An existing shortcut is left alone, wherever it points.
    return shell.FileExists(path) ? kSOk : shell.WriteShortcutFile(path);
  });
}

HResult DeleteStartupShortcut(StartupShell& shell) {
  return WithShortcutPath(shell, [&shell](const std::wstring& path) {
    if (!shell.FileExists(path)) return kSOk;
    return shell.RemoveFile(path) ? kSOk : kEFail;
  });
}
