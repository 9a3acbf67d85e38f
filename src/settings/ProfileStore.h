// Seam over the system's profile (INI) functions for one settings file. Section and
// key names compare without regard to case, as the profile functions do.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

class ProfileStore {
 public:
  virtual ~ProfileStore() = default;

  // GetPrivateProfileIntW: the value's leading decimal number, `fallback` when the
  // key is missing.
  virtual int ReadInt(std::wstring_view section, std::wstring_view key, int fallback) const = 0;

  // GetPrivateProfileStringW into a 4096-unit buffer: at most 4095 characters arrive.
  virtual std::wstring ReadString(std::wstring_view section, std::wstring_view key,
                                  std::wstring_view fallback) const = 0;

  // WritePrivateProfileStringW: no key deletes the whole section, no value deletes
  // the key. Returns whether the write reached the file.
  virtual bool Write(std::wstring_view section, const std::optional<std::wstring>& key,
                     const std::optional<std::wstring>& value) = 0;

  // The writes from BeginSave to EndSave reach the file together, in one step, or none
  // does; reads meanwhile still see the file as it was. EndSave gives the system's
  // error code, 0 when the file holds them all.
  virtual void BeginSave() {}
  virtual std::uint32_t EndSave() { return 0; }
};

// The profile functions hand at most this many characters of a string value back.
inline constexpr std::size_t kProfileStringBufferChars = 4096;
