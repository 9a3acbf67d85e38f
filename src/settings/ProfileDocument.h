// The text of a settings file, changed line by line the way the profile functions
// change it, so that a save can build the whole new file before it touches the old
// one. Lines the program does not write (comments, blank lines, keys a user added)
// stay where they are.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

class ProfileDocument {
 public:
  explicit ProfileDocument(std::wstring_view text);

  // WritePrivateProfileStringW's meaning: no key deletes the section (every section of
  // that name, so that no stale copy resurfaces), no value deletes the key, else the
  // key's value is set, the key and its section added at their ends when missing.
  void Write(std::wstring_view section, const std::optional<std::wstring>& key,
             const std::optional<std::wstring>& value);

  // The lines, each ended by CR LF, as the profile functions write them.
  std::wstring Text() const;

 private:
  struct Line {
    std::wstring text;
    // For "[name]" lines the section's name, for "key=value" lines the key; trimmed.
    std::optional<std::wstring> section;
    std::optional<std::wstring> key;
  };
  // [first, end) of the lines of the first section named `name`, the header included.
  struct Span {
    std::size_t first;
    std::size_t end;
  };

  std::optional<Span> FindSection(std::wstring_view name, std::size_t from = 0) const;
  void DeleteSections(std::wstring_view name);
  void DeleteKey(const Span& span, std::wstring_view key);
  void SetValue(std::wstring_view section, const std::wstring& key, const std::wstring& value);

  std::vector<Line> lines_;
};
