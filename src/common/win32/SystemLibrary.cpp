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

}  // namespace

void RestrictDllSearchToSystemFolder() {
  HMODULE kernel = ::GetModuleHandleW(L"kernel32.dll");
  using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
  const auto setDefault =
      SystemFunction<SetDefaultDllDirectoriesFunction>(kernel, "SetDefaultDllDirectories");
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
  return ::LoadLibraryW(path.c_str());
}

}  // namespace win32
