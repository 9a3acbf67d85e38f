#include "settings/win32/PrivateProfileStore.h"

#include <windows.h>

#include "common/win32/Handles.h"

namespace {

// The profile functions create a missing file in the ANSI code page, which turns
// device names with other characters into question marks. A file that starts
// out as UTF-16 with a byte-order mark keeps that encoding on every later write.
void CreateUnicodeFileIfMissing(const std::wstring& path) {
  win32::UniqueHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) return;  // exists already, or cannot be made
  static const unsigned char kByteOrderMark[] = {0xFF, 0xFE};
  DWORD written = 0;
  ::WriteFile(file.get(), kByteOrderMark, sizeof kByteOrderMark, &written, nullptr);
}

}  // namespace

int PrivateProfileStore::ReadInt(std::wstring_view section, std::wstring_view key,
                                 int fallback) const {
  return static_cast<int>(::GetPrivateProfileIntW(
      std::wstring(section).c_str(), std::wstring(key).c_str(), fallback, path_.c_str()));
}

std::wstring PrivateProfileStore::ReadString(std::wstring_view section, std::wstring_view key,
                                             std::wstring_view fallback) const {
  wchar_t buffer[kProfileStringBufferChars] = {};
  const DWORD length = ::GetPrivateProfileStringW(
      std::wstring(section).c_str(), std::wstring(key).c_str(), std::wstring(fallback).c_str(),
      buffer, static_cast<DWORD>(kProfileStringBufferChars), path_.c_str());
  return std::wstring(buffer, length);
}

bool PrivateProfileStore::Write(std::wstring_view section, const std::optional<std::wstring>& key,
                                const std::optional<std::wstring>& value) {
  CreateUnicodeFileIfMissing(path_);
  return ::WritePrivateProfileStringW(std::wstring(section).c_str(), key ? key->c_str() : nullptr,
                                      value ? value->c_str() : nullptr, path_.c_str()) != FALSE;
}
