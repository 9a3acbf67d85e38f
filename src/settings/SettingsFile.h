// The six settings-file operations every part of the program uses, on top of the
// profile-function seam.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "settings/LetterEncoding.h"
#include "settings/ProfileStore.h"

// <windows.h> maps these names onto the WIN.INI functions; here they are the
// program's own operations on its settings file.
#undef GetProfileInt
#undef GetProfileString
#undef WriteProfileString

// The text to write so that the profile functions read `value` back unchanged.
std::wstring QuoteProfileValue(const std::wstring& value);

class SettingsFile {
 public:
  explicit SettingsFile(ProfileStore& store) : store_(store) {}

  int GetProfileInt(std::wstring_view section, std::wstring_view key, int fallback) const;
  std::wstring GetProfileString(std::wstring_view section, std::wstring_view key,
                                std::wstring_view fallback = {}) const;
  bool WriteProfileInt(std::wstring_view section, std::wstring_view key, int value);
  // No key deletes the section; no value deletes the key. A value reads back exactly.
  bool WriteProfileString(std::wstring_view section, const std::optional<std::wstring>& key,
                          const std::optional<std::wstring>& value);
  std::optional<ByteBlock> GetProfileBytes(std::wstring_view section, std::wstring_view key) const;
  bool WriteProfileBytes(std::wstring_view section, std::wstring_view key, const ByteBlock& bytes);

  ProfileStore& store() { return store_; }

 private:
  ProfileStore& store_;
};

// One save: what is written to the file while it lasts lands whole, or not at all.
class SettingsSave {
 public:
  explicit SettingsSave(SettingsFile& file) : store_(file.store()) { store_.BeginSave(); }
  ~SettingsSave() {
    if (!finished_) store_.EndSave();
  }
  SettingsSave(const SettingsSave&) = delete;
  SettingsSave& operator=(const SettingsSave&) = delete;

  // The system's error code when the file was left as it was; 0 when saved.
  std::uint32_t Finish() {
    finished_ = true;
    return store_.EndSave();
  }

 private:
  ProfileStore& store_;
  bool finished_ = false;
};
