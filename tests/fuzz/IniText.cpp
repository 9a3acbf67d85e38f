#include "IniText.h"

#include <optional>
#include <string>

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r'; }

std::wstring_view Trim(std::wstring_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

void LoadIniText(std::wstring_view text, FakeProfileStore& store) {
  std::optional<std::wstring> section;
  while (!text.empty()) {
    const std::size_t end = text.find(L'\n');
    std::wstring_view line = Trim(text.substr(0, end));
    text.remove_prefix(end == std::wstring_view::npos ? text.size() : end + 1);

    if (line.empty() || line.front() == L';') continue;
    if (line.front() == L'[') {
      if (const std::size_t close = line.find(L']'); close != std::wstring_view::npos) {
        section = std::wstring(line.substr(1, close - 1));
        continue;
      }
    }
    if (!section) continue;
    const std::size_t equals = line.find(L'=');
    const std::wstring_view key = Trim(line.substr(0, equals));
    const std::wstring_view value =
        equals == std::wstring_view::npos ? std::wstring_view() : line.substr(equals + 1);
    if (!store.Raw(*section, key)) store.Set(*section, key, value);
  }
}
