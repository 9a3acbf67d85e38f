#include "settings/SettingsFile.h"

int SettingsFile::GetProfileInt(std::wstring_view section, std::wstring_view key,
                                int fallback) const {
  return store_.ReadInt(section, key, fallback);
}

std::wstring SettingsFile::GetProfileString(std::wstring_view section, std::wstring_view key,
                                            std::wstring_view fallback) const {
  return store_.ReadString(section, key, fallback);
}

bool SettingsFile::WriteProfileInt(std::wstring_view section, std::wstring_view key, int value) {
  // std::to_wstring of an int is the "%d" text.
  return store_.Write(section, std::wstring(key), std::to_wstring(value));
}

bool SettingsFile::WriteProfileString(std::wstring_view section,
                                      const std::optional<std::wstring>& key,
                                      const std::optional<std::wstring>& value) {
  return store_.Write(section, key, value);
}

std::optional<ByteBlock> SettingsFile::GetProfileBytes(std::wstring_view section,
                                                       std::wstring_view key) const {
  return DecodeLetters(store_.ReadString(section, key, {}));
}

bool SettingsFile::WriteProfileBytes(std::wstring_view section, std::wstring_view key,
                                     const ByteBlock& bytes) {
  return store_.Write(section, std::wstring(key), EncodeLetters(bytes));
}
