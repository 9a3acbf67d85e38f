// Fills the string table's "%s" and "%d" places with a device name and a count.
// The name is always an argument, never part of a format string.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Replaces the first "%s" with `name` and the first "%d" with `count` (when given),
// then cuts the result to `maxChars` characters.
std::wstring FillMessageText(std::wstring_view pattern, std::wstring_view name,
                             std::optional<int> count = std::nullopt,
                             std::size_t maxChars = std::wstring::npos);

// Several filled strings as one text, a blank line between them; `load` gives the
// string-table text of an id.
struct PromptLine;
std::wstring JoinPromptLines(const std::vector<PromptLine>& lines,
                             const std::function<std::wstring(unsigned)>& load);

// Cuts a text to at most `maxChars` characters.
std::wstring CutText(std::wstring_view text, std::size_t maxChars);

// How many units of `text`, at most `most`, a piece of it can take without parting a
// surrogate pair (the console would show two broken halves).
std::size_t UnitsWithoutPartingPairs(std::wstring_view text, std::size_t most);
