#include "app/win32/Folders.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

std::optional<std::wstring> SettingsFolderPath(const wchar_t* name) {
  wchar_t buffer[MAX_PATH] = {};
  if (!::SHGetSpecialFolderPathW(nullptr, buffer, CSIDL_APPDATA, FALSE)) return std::nullopt;
  std::wstring folder(buffer);
  if (folder.empty() || folder.back() != L'\\') folder += L'\\';
  return folder + name + L'\\';
}

void CreateFolderPath(const std::wstring& path) {
  // Each prefix that ends before a backslash is one folder of the path; the roots
  // among them ("C:", "\\server") simply fail to be created.
  for (std::size_t at = path.find(L'\\'); at != std::wstring::npos; at = path.find(L'\\', at + 1)) {
    if (at == 0) continue;
    const std::wstring prefix = path.substr(0, at);
    if (!::PathIsDirectoryW(prefix.c_str())) ::CreateDirectoryW(prefix.c_str(), nullptr);
  }
}
