#include "settings/win32/PrivateProfileStore.h"

#include <windows.h>

#include "settings/ProfileDocument.h"
#include "settings/win32/WholeProfileFile.h"

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
  const win32::CriticalSection::Hold hold(lock_);
  pending_.push_back({std::wstring(section), key, value});
  return saving_ || Commit() == ERROR_SUCCESS;
}

void PrivateProfileStore::BeginSave() {
  const win32::CriticalSection::Hold hold(lock_);
  saving_ = true;
}

std::uint32_t PrivateProfileStore::EndSave() {
  const win32::CriticalSection::Hold hold(lock_);
  saving_ = false;
  return Commit();
}

std::uint32_t PrivateProfileStore::Commit() {
  std::vector<PendingWrite> writes;
  writes.swap(pending_);
  if (writes.empty()) return ERROR_SUCCESS;
  DWORD error = ERROR_SUCCESS;
  const std::optional<std::wstring> old = win32::ReadProfileText(path_, error);
  if (!old) return error;
  ProfileDocument document(*old);
  const std::wstring before = document.Text();
  for (const PendingWrite& write : writes) document.Write(write.section, write.key, write.value);
  // A save that changes nothing leaves the file alone, read-only or not.
  const std::wstring text = document.Text();
  if (text == before && !old->empty()) return ERROR_SUCCESS;
  return win32::ReplaceProfileText(path_, text);
}
