#include "app/StartupMode.h"

#include <string_view>

#include "commandline/CommandLineRequest.h"
#include "commandline/DriveArgument.h"
#include "common/AsciiCase.h"

StartupChoice ChooseStartupMode(const std::vector<std::wstring>& arguments, bool vistaOrLater) {
  if (arguments.empty()) return {StartupMode::Resident, {}};
  const std::wstring& first = arguments.front();
  // Before Vista a switch is not recognised: it is taken as a device name like any
  // other argument.
  if (vistaOrLater) {
    if (EqualIgnoringAsciiCase(first, L"/create")) return {StartupMode::CreateShortcut, first};
    if (EqualIgnoringAsciiCase(first, L"/delete")) return {StartupMode::DeleteShortcut, first};
  }
  if (EqualIgnoringAsciiCase(first, L"/list")) {
    StartupChoice choice{StartupMode::List, first};
    for (std::size_t i = 1; i < arguments.size(); ++i) {
      choice.utf8 = choice.utf8 || EqualIgnoringAsciiCase(arguments[i], L"/utf8");
      choice.json = choice.json || EqualIgnoringAsciiCase(arguments[i], L"/json");
    }
    return choice;
  }
  if (NeedsRemovalParser(arguments)) return {StartupMode::RemoveByRequest, first};
  if (ParseDriveArgument(first)) return {StartupMode::RemoveByDrive, first};
  return {StartupMode::RemoveByName, first};
}

int ExitStatusForSwitch(winvalues::HResult result) { return result == winvalues::kSOk ? 0 : 1; }
