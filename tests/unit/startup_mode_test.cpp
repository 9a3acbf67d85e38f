#include <gtest/gtest.h>

#include "app/SingleInstance.h"
#include "commandline/DriveArgument.h"
#include "app/StartupMode.h"
#include "commandline/CommandLineRemoval.h"

namespace {

TEST(ChooseStartupMode, FirstArgumentPicksTheMode) {
  struct Case {
    std::vector<std::wstring> arguments;
    bool vista;
    StartupChoice expected;
  };
  const Case cases[] = {
      {{}, true, {StartupMode::Resident, L""}},
      {{}, false, {StartupMode::Resident, L""}},
      {{L"/create"}, true, {StartupMode::CreateShortcut, L"/create"}},
      {{L"/CREATE"}, true, {StartupMode::CreateShortcut, L"/CREATE"}},
      {{L"/Delete"}, true, {StartupMode::DeleteShortcut, L"/Delete"}},
      {{L"/create", L"/delete"}, true, {StartupMode::CreateShortcut, L"/create"}},
      {{L"USB Disk", L"/create"}, true, {StartupMode::RemoveByRequest, L"USB Disk"}},
      // Before Vista a switch is no shortcut switch: the request's parser has it, which
      // takes it for a name when a device carries it.
      {{L"/create"}, false, {StartupMode::RemoveByRequest, L"/create"}},
      {{L"/DELETE"}, false, {StartupMode::RemoveByRequest, L"/DELETE"}},
      {{L"/create "}, true, {StartupMode::RemoveByRequest, L"/create "}},
      {{L"/creat"}, true, {StartupMode::RemoveByRequest, L"/creat"}},
      {{L"-create"}, true, {StartupMode::RemoveByRequest, L"-create"}},
      {{L"/?"}, false, {StartupMode::RemoveByRequest, L"/?"}},
      {{L"SanDisk*"}, true, {StartupMode::RemoveByName, L"SanDisk*"}},
      {{std::wstring(30000, L'x')}, true, {StartupMode::RemoveByRequest, std::wstring(30000, L'x')}},
      {{L""}, true, {StartupMode::RemoveByName, L""}},
      // The listing and the drives on every version.
      {{L"/list"}, false, {StartupMode::List, L"/list"}},
      {{L"/LIST", L"E:"}, true, {StartupMode::List, L"/LIST"}},
      {{L"/list", L"/UTF8"}, true, {StartupMode::List, L"/list", true}},
      {{L"/list", L"E:", L"/utf8"}, false, {StartupMode::List, L"/list", true}},
      {{L"/list", L"/utf-8"}, true, {StartupMode::List, L"/list", false}},
      {{L"/list", L"/JSON"}, false, {StartupMode::List, L"/list", false, true}},
      {{L"/list", L"/json", L"/utf8"}, true, {StartupMode::List, L"/list", true, true}},
      {{L"/json", L"/list"}, true, {StartupMode::RemoveByRequest, L"/json"}},
      // Only the listing writes names: elsewhere it is an unknown switch, or a name.
      {{L"/utf8"}, true, {StartupMode::RemoveByRequest, L"/utf8"}},
      {{L"USB Disk", L"/utf8"}, true, {StartupMode::RemoveByRequest, L"USB Disk"}},
      {{L"/lists"}, true, {StartupMode::RemoveByRequest, L"/lists"}},
      // "/card" is one of the removal's switches.
      {{L"/Card", L"h:"}, false, {StartupMode::RemoveByRequest, L"/Card"}},
      {{L"e:"}, false, {StartupMode::RemoveByDrive, L"e:"}},
      {{L"E:\\"}, true, {StartupMode::RemoveByDrive, L"E:\\"}},
      {{L"E:\\x"}, true, {StartupMode::RemoveByRequest, L"E:\\x"}},
      {{L"E:\""}, true, {StartupMode::RemoveByDrive, L"E:\""}},
  };
  for (const Case& c : cases) {
    const StartupChoice choice = ChooseStartupMode(c.arguments, c.vista);
    const std::wstring shown = c.arguments.empty() ? L"(none)" : c.arguments.front();
    EXPECT_EQ(choice.mode, c.expected.mode) << shown << (c.vista ? L" on Vista" : L" on XP");
    EXPECT_EQ(choice.argument, c.expected.argument) << shown;
    EXPECT_EQ(choice.utf8, c.expected.utf8) << shown;
    EXPECT_EQ(choice.json, c.expected.json) << shown;
  }
}

TEST(ExitStatus, SwitchesGiveZeroOrOneAndRemovalsTellRefusedFromMissing) {
  EXPECT_EQ(ExitStatusForSwitch(winvalues::kSOk), 0);
  EXPECT_EQ(ExitStatusForSwitch(winvalues::kEFail), 1);
  EXPECT_EQ(ExitStatusForSwitch(1), 1);  // S_FALSE is not S_OK
  EXPECT_EQ(ExitStatusForRemoval({0, 0}), 1);
  EXPECT_EQ(ExitStatusForRemoval({2, 0}), 2);
  EXPECT_EQ(ExitStatusForRemoval({3, 1}), 0);
}

TEST(DriveArgument, LetterWithColonAndAtMostABackslash) {
  const std::pair<const wchar_t*, std::optional<std::wstring>> cases[] = {
      {L"E:", L"E:"},  {L"e:", L"E:"},   {L"z:\\", L"Z:"}, {L"A:", L"A:"},
      // "E:\" as cmd passes it on: the backslash escaped the closing quote.
      {L"E:\"", L"E:"}, {L"e:\"", L"E:"}, {L"E:\"\"", std::nullopt}, {L"E\"", std::nullopt},
      {L"E", std::nullopt},     {L"E:/", std::nullopt},   {L"E:\\\\", std::nullopt},
      {L"1:", std::nullopt},    {L"Ｅ:", std::nullopt},   {L"::", std::nullopt},
      {L"E:\\x", std::nullopt}, {L"", std::nullopt},    {L"\\\\.\\E:", std::nullopt},
  };
  for (const auto& [argument, drive] : cases) EXPECT_EQ(ParseDriveArgument(argument), drive) << argument;
}

}  // namespace

TEST(SingleInstance, AnotherInstanceHoldsTheMutexAlsoWhenItIsOutOfReach) {
  struct Case {
    bool created;
    unsigned long error;
    bool running;
  };
  const Case cases[] = {
      {true, 0, false},     // the first instance
      {true, 183, true},    // ERROR_ALREADY_EXISTS
      {false, 5, true},     // ERROR_ACCESS_DENIED: the first one runs elevated
      {false, 1450, false}, // another failure: start as the only instance
      {true, 5, false},     // a stale code beside a handle of our own
  };
  for (const Case& c : cases) {
    EXPECT_EQ(OtherInstanceHoldsMutex(c.created, c.error), c.running) << c.created << " " << c.error;
  }
}
