#include "settings/ProfileDocument.h"

#include "common/AsciiCase.h"

namespace {

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t' || c == L'\r'; }

std::wstring_view Trim(std::wstring_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

// Read as the profile functions read a file: a line is "[section]", a comment (";...")
// or blank, or a key, with "=value" or without (an empty value).
ProfileDocument::ProfileDocument(std::wstring_view text) {
  while (!text.empty()) {
    const std::size_t end = text.find(L'\n');
    std::wstring_view raw = text.substr(0, end);
    text.remove_prefix(end == std::wstring_view::npos ? text.size() : end + 1);
    if (!raw.empty() && raw.back() == L'\r') raw.remove_suffix(1);

    Line line{std::wstring(raw), std::nullopt, std::nullopt};
    const std::wstring_view content = Trim(raw);
    const std::size_t close = content.find(L']');
    if (!content.empty() && content.front() == L'[' && close != std::wstring_view::npos)
      line.section = std::wstring(content.substr(1, close - 1));
    else if (!content.empty() && content.front() != L';')
      line.key = std::wstring(Trim(content.substr(0, content.find(L'='))));
    lines_.push_back(std::move(line));
  }
}

std::optional<ProfileDocument::Span> ProfileDocument::FindSection(std::wstring_view name,
                                                                  std::size_t from) const {
  for (std::size_t first = from; first < lines_.size(); ++first) {
    if (!lines_[first].section || !EqualIgnoringAsciiCase(*lines_[first].section, name)) continue;
    std::size_t end = first + 1;
    while (end < lines_.size() && !lines_[end].section) ++end;
    return Span{first, end};
  }
  return std::nullopt;
}

void ProfileDocument::DeleteSections(std::wstring_view name) {
  while (const std::optional<Span> span = FindSection(name)) {
    lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(span->first),
                 lines_.begin() + static_cast<std::ptrdiff_t>(span->end));
  }
}

void ProfileDocument::DeleteKey(const Span& span, std::wstring_view key) {
  for (std::size_t i = span.end; i-- > span.first + 1;) {
    if (lines_[i].key && EqualIgnoringAsciiCase(*lines_[i].key, key))
      lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
  }
}

void ProfileDocument::SetValue(std::wstring_view section, const std::wstring& key,
                               const std::wstring& value) {
  std::optional<Span> span = FindSection(section);
  if (!span) {
    lines_.push_back({L"[" + std::wstring(section) + L"]", std::wstring(section), std::nullopt});
    span = Span{lines_.size() - 1, lines_.size()};
  }
  // The first of the key's lines is the one the profile functions read; it keeps its
  // place and its spelling.
  for (std::size_t i = span->first + 1; i < span->end; ++i) {
    if (lines_[i].key && EqualIgnoringAsciiCase(*lines_[i].key, key)) {
      lines_[i].text = *lines_[i].key + L"=" + value;
      return;
    }
  }
  // A new key follows the section's last non-blank line, ahead of the blank lines
  // that part it from the next section.
  std::size_t at = span->end;
  while (at > span->first + 1 && Trim(lines_[at - 1].text).empty()) --at;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at),
                Line{key + L"=" + value, std::nullopt, key});
}

void ProfileDocument::Write(std::wstring_view section, const std::optional<std::wstring>& key,
                            const std::optional<std::wstring>& value) {
  if (!key) return DeleteSections(section);
  if (value) return SetValue(section, *key, *value);
  for (std::size_t from = 0; const std::optional<Span> span = FindSection(section, from);) {
    DeleteKey(*span, *key);
    from = span->first + 1;
  }
}

std::wstring ProfileDocument::Text() const {
  std::wstring text;
  for (const Line& line : lines_) text += line.text + L"\r\n";
  return text;
}
