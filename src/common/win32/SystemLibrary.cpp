#include "common/win32/SystemLibrary.h"

#include <string>

namespace win32 {

namespace {

// Not in older SDK headers: the value LoadLibraryEx and SetDefaultDllDirectories share.
constexpr DWORD kSearchSystem32 = 0x00000800;  // LOAD_LIBRARY_SEARCH_SYSTEM32

std::wstring SystemFolder() {
  wchar_t buffer[MAX_PATH];
  const UINT length = ::GetSystemDirectoryW(buffer, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return std::wstring();
  return std::wstring(buffer, length);
}

using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);

// Windows 7 with KB2533623 and later.
SetDefaultDllDirectoriesFunction SetDefaultDllDirectoriesEntry() {
  return Kernel32Function<SetDefaultDllDirectoriesFunction>("SetDefaultDllDirectories");
}

// The program sets them first thing wherever the system can.
bool DefaultDllDirectoriesAvailable() { return SetDefaultDllDirectoriesEntry() != nullptr; }

}  // namespace

void RestrictDllSearchToSystemFolder() {
  HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
  const auto setDefault = SetDefaultDllDirectoriesEntry();
  if (setDefault != nullptr && setDefault(kSearchSystem32)) return;
  // Without it the program's folder stays searched first, which is why every library
  // the program loads itself is named by its full path; this removes the current folder.
  using SetDllDirectoryFunction = BOOL(WINAPI*)(LPCWSTR);
  const auto setDirectory = SystemFunction<SetDllDirectoryFunction>(kernel, "SetDllDirectoryW");
  if (setDirectory != nullptr) setDirectory(L"");
}

HMODULE LoadSystemLibrary(const wchar_t* fileName) {
  const std::wstring folder = SystemFolder();
  if (folder.empty()) return nullptr;
  const std::wstring path = folder + L"\\" + fileName;
  // Where the default directories are set, they govern the library's own imports too.
  // Elsewhere those imports would be searched in the program's folder first; the
  // altered search starts in the library's folder, the system folder, instead.
  const DWORD flags = DefaultDllDirectoriesAvailable() ? 0 : LOAD_WITH_ALTERED_SEARCH_PATH;
  return ::LoadLibraryExW(path.c_str(), nullptr, flags);
}

}  // namespace win32
