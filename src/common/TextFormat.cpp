#include "common/TextFormat.h"

#include "common/Prompter.h"

namespace {

void ReplaceFirst(std::wstring& text, std::wstring_view placeholder, std::wstring_view value) {
  const std::size_t at = text.find(placeholder);
  if (at != std::wstring::npos) text.replace(at, placeholder.size(), value);
}

}  // namespace

std::wstring CutText(std::wstring_view text, std::size_t maxChars) {
  return std::wstring(text.substr(0, maxChars));
}

std::wstring FillMessageText(std::wstring_view pattern, std::wstring_view name,
                             std::optional<int> count, std::size_t maxChars) {
  std::wstring text(pattern);
  // The count goes in before the name, so that a "%d" inside a device name stays
  // as the user typed it.
  if (count) ReplaceFirst(text, L"%d", std::to_wstring(*count));
  ReplaceFirst(text, L"%s", name);
  return CutText(text, maxChars);
}

std::wstring JoinPromptLines(const std::vector<PromptLine>& lines,
                             const std::function<std::wstring(unsigned)>& load) {
  std::wstring text;
  for (const PromptLine& line : lines) {
    if (!text.empty()) text += L"\n\n";
    const std::wstring pattern = load(line.textId);
    text += line.argument ? FillMessageText(pattern, *line.argument, line.count)
                          : FillMessageText(pattern, L"%s", line.count);
  }
  return text;
}

std::size_t UnitsWithoutPartingPairs(std::wstring_view text, std::size_t most) {
  if (text.size() <= most) return text.size();
  const auto isHighSurrogate = [](wchar_t c) { return c >= 0xD800 && c <= 0xDBFF; };
  return most > 1 && isHighSurrogate(text[most - 1]) ? most - 1 : most;
}
