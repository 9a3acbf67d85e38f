#include "shell/WindowList.h"

#include <algorithm>
#include <optional>

#include "Utf8Text.h"

namespace shellstandin {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr std::wstring_view kWebWord = L"web";

// Every non-empty, well-formed line, without its line break.
std::vector<std::wstring> DecodedLines(std::string_view utf8) {
  if (utf8.substr(0, kByteOrderMark.size()) == kByteOrderMark) utf8.remove_prefix(kByteOrderMark.size());
  std::vector<std::wstring> lines;
  while (!utf8.empty()) {
    const std::size_t end = utf8.find('\n');
    std::string_view line = utf8.substr(0, end);
    utf8.remove_prefix(end == std::string_view::npos ? utf8.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (line.empty()) continue;
    std::optional<std::wstring> text = DecodeUtf8(line);
    if (text) lines.push_back(std::move(*text));
  }
  return lines;
}

ListedWindow WindowOfLine(std::wstring line) {
  ListedWindow window;
  const std::wstring_view text = line;
  if (text == kWebWord || (text.starts_with(kWebWord) && text[kWebWord.size()] == L' ')) {
    window.web = true;
    window.location = std::wstring(text.substr(std::min(text.size(), kWebWord.size() + 1)));
  } else {
    window.location = line;
  }
  window.line = std::move(line);
  return window;
}

}  // namespace

std::vector<ListedWindow> ParseWindowList(std::string_view utf8) {
  std::vector<ListedWindow> windows;
  for (std::wstring& line : DecodedLines(utf8)) windows.push_back(WindowOfLine(std::move(line)));
  return windows;
}

std::vector<std::wstring> ParseQuitLog(std::string_view utf8) { return DecodedLines(utf8); }

std::vector<ListedWindow> WindowsStillOpen(std::vector<ListedWindow> listed,
                                           const std::vector<std::wstring>& closed) {
  for (const std::wstring& line : closed) {
    const auto found = std::find_if(listed.begin(), listed.end(),
                                    [&line](const ListedWindow& w) { return w.line == line; });
    if (found != listed.end()) listed.erase(found);
  }
  return listed;
}

std::string QuitLogLine(const ListedWindow& window) { return EncodeUtf8(window.line) + "\n"; }

}  // namespace shellstandin
