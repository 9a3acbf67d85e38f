#include "settings/SettingsFile.h"

namespace {

bool IsProfileQuote(wchar_t c) { return c == L'"' || c == L'\''; }

// The blanks the profile functions drop at the ends of a value.
bool IsProfileBlank(wchar_t c) {
  return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r' ||
         c == 0x1A;
}

}  // namespace

std::wstring QuoteProfileValue(const std::wstring& value) {
  // The profile functions hand a value back without its end blanks and without one
  // pair of matching quotes around it. One more pair of quotes protects exactly such
  // values, and only them, so files that never needed quoting keep their bytes.
  if (value.empty()) return value;
  const auto needs = [](wchar_t c) { return IsProfileBlank(c) || IsProfileQuote(c); };
  if (!needs(value.front()) && !needs(value.back())) return value;
  return L'"' + value + L'"';
}

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
  if (!key || !value) return store_.Write(section, key, value);
  return store_.Write(section, key, QuoteProfileValue(*value));
}

std::optional<ByteBlock> SettingsFile::GetProfileBytes(std::wstring_view section,
                                                       std::wstring_view key) const {
  return DecodeLetters(store_.ReadString(section, key, {}));
}

bool SettingsFile::WriteProfileBytes(std::wstring_view section, std::wstring_view key,
                                     const ByteBlock& bytes) {
  return store_.Write(section, std::wstring(key), EncodeLetters(bytes));
}
