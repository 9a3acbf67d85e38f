#include "common/win32/ModulePath.h"

#include <windows.h>
#include <shlwapi.h>

#include <vector>

namespace win32 {

std::wstring ModulePath() {
  wchar_t buffer[MAX_PATH] = {};
  const DWORD length = ::GetModuleFileNameW(nullptr, buffer, MAX_PATH);
  return std::wstring(buffer, length < MAX_PATH ? length : MAX_PATH - 1);
}

std::wstring FolderOf(const std::wstring& path) {
  std::vector<wchar_t> buffer(path.begin(), path.end());
  buffer.push_back(L'\0');
  ::PathRemoveFileSpecW(buffer.data());
  return std::wstring(buffer.data());
}

std::wstring WithExtension(const std::wstring& path, const wchar_t* extension) {
  std::vector<wchar_t> buffer(path.begin(), path.end());
  buffer.resize(path.size() + MAX_PATH, L'\0');
  ::PathRenameExtensionW(buffer.data(), extension);
  return std::wstring(buffer.data());
}

std::wstring HelpFilePath(UiLanguage language) {
  const std::wstring japanese = WithExtension(ModulePath(), L".chm");
  if (language == UiLanguage::Japanese) return japanese;
  const std::wstring english = WithExtension(ModulePath(), L".en.chm");
  return ::PathFileExistsW(english.c_str()) ? english : japanese;
}

}  // namespace win32
