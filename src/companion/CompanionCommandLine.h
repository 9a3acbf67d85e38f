// What the console companion (Tollevane.com) makes of its own command line to run the
// same command through Tollevane.exe. Plain loops over the text: the companion links no
// run-time library, and these must not call one.
#pragma once

#include <cstddef>
#include <string_view>

namespace companion {

constexpr bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

// The part of a command line after the program's name, as it stands, so that the
// arguments reach the program exactly as typed. The name ends at its closing quote when
// it begins with one, else at the first blank: the rule by which the arguments are split.
constexpr std::wstring_view ArgumentsOf(std::wstring_view commandLine) {
  std::size_t end = 0;
  if (!commandLine.empty() && commandLine[0] == L'"') {
    end = 1;
    while (end < commandLine.size() && commandLine[end] != L'"') ++end;
    if (end < commandLine.size()) ++end;
  } else {
    while (end < commandLine.size() && !IsBlank(commandLine[end])) ++end;
  }
  // No substr: it may throw, which the companion cannot.
  return std::wstring_view(commandLine.data() + end, commandLine.size() - end);
}

// No argument at all: the resident start, which the companion does not wait for.
constexpr bool NamesNoArgument(std::wstring_view arguments) {
  for (const wchar_t c : arguments) {
    if (!IsBlank(c)) return false;
  }
  return true;
}

// Where the extension of the file name in `path` begins (its dot), or the path's end when
// the file name has none; the program beside the companion differs only there.
constexpr std::size_t ExtensionStart(std::wstring_view path) {
  for (std::size_t i = path.size(); i > 0; --i) {
    const wchar_t c = path[i - 1];
    if (c == L'.') return i - 1;
    if (c == L'\\' || c == L'/') break;
  }
  return path.size();
}

}  // namespace companion
