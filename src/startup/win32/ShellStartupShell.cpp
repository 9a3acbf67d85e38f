#include "startup/win32/ShellStartupShell.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include "common/win32/Com.h"
#include "common/win32/ModulePath.h"

std::optional<std::wstring> ShellStartupShell::StartupFolder() {
  wchar_t buffer[MAX_PATH] = {};
  if (!::SHGetSpecialFolderPathW(nullptr, buffer, CSIDL_STARTUP, FALSE)) return std::nullopt;
  return std::wstring(buffer);
}

bool ShellStartupShell::FileExists(const std::wstring& path) {
  return ::PathFileExistsW(path.c_str()) != FALSE;
}

winvalues::HResult ShellStartupShell::WriteShortcutFile(const std::wstring& path) {
  win32::ComPtr<IShellLinkW> link;
  HRESULT hr = ::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  link.PutVoid());
  if (FAILED(hr)) return hr;

  const std::wstring program = win32::ModulePath();
  const std::wstring folder = win32::FolderOf(program);

  win32::ComPtr<IPersistFile> file;
  hr = link.As(file, IID_IPersistFile);
  if (FAILED(hr)) return hr;
  link->SetPath(program.c_str());
  link->SetWorkingDirectory(folder.c_str());
  return file->Save(path.c_str(), TRUE);
}

bool ShellStartupShell::RemoveFile(const std::wstring& path) {
  return ::DeleteFileW(path.c_str()) != FALSE;
}

void ShellStartupShell::CoUninitialize() { ::CoUninitialize(); }
