#include "commandline/DriveArgument.h"

#include "common/AsciiCase.h"

std::optional<std::wstring> ParseDriveArgument(std::wstring_view argument) {
  // Split the standard way, a quoted "E:\" typed at a prompt arrives as E:" (the
  // backslash escapes the closing quote): the quote stands for the backslash.
  const bool rootMark = argument.size() == 3 && (argument[2] == L'\\' || argument[2] == L'"');
  if (argument.size() != 2 && !rootMark) return std::nullopt;
  const wchar_t letter = UpperAscii(argument[0]);
  if (letter < L'A' || letter > L'Z' || argument[1] != L':') return std::nullopt;
  return std::wstring{letter, L':'};
}
