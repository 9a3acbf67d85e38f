// The console companion hands its arguments to Tollevane.exe untouched, waits for every
// start but the resident one, and finds the program beside itself.
#include <gtest/gtest.h>

#include <string>

#include "companion/CompanionCommandLine.h"

namespace {

using companion::ArgumentsOf;
using companion::ExtensionStart;
using companion::NamesNoArgument;

TEST(CompanionCommandLine, ArgumentsFollowTheProgramNameAsTyped) {
  struct Case {
    const wchar_t* commandLine;
    const wchar_t* arguments;
  };
  const Case cases[] = {
      {L"Tollevane", L""},
      {L"Tollevane /list", L" /list"},
      {L"Tollevane\t\"E:\\\"", L"\t\"E:\\\""},
      // A quoted name may hold blanks; what follows the quote is kept as it stands.
      {L"\"C:\\Program Files\\Tollevane\\Tollevane.com\" \"USB Disk\"  x", L" \"USB Disk\"  x"},
      {L"\"C:\\Program Files\\Tollevane\\Tollevane\"", L""},
      {L"\"unclosed name", L""},
      {L"", L""},
      {L"Tollevane.com  ", L"  "},
  };
  for (const Case& c : cases) EXPECT_EQ(ArgumentsOf(c.commandLine), c.arguments) << c.commandLine;
}

TEST(CompanionCommandLine, OnlyBlanksMeanTheResidentStart) {
  const std::pair<const wchar_t*, bool> cases[] = {
      {L"", true}, {L"  \t ", true}, {L" \"\"", false}, {L" /list", false}, {L" E:", false}};
  for (const auto& [arguments, none] : cases)
    EXPECT_EQ(NamesNoArgument(arguments), none) << arguments;
}

TEST(CompanionCommandLine, ExtensionBelongsToTheFileNameOnly) {
  const std::pair<const wchar_t*, std::wstring> cases[] = {
      {L"C:\\Tools\\Tollevane.com", L"C:\\Tools\\Tollevane"},
      {L"C:\\My.Tools\\Tollevane", L"C:\\My.Tools\\Tollevane"},
      {L"C:\\Tools\\Tollevane.v2.com", L"C:\\Tools\\Tollevane.v2"},
      {L"Tollevane.com", L"Tollevane"},
      {L"", L""},
  };
  for (const auto& [path, stem] : cases) {
    const std::wstring_view whole(path);
    EXPECT_EQ(std::wstring(whole.substr(0, ExtensionStart(whole))), stem) << path;
  }
}

}  // namespace
