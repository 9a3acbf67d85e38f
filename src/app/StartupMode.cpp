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
    bool utf8 = false;
    for (std::size_t i = 1; i < arguments.size(); ++i)
      utf8 = utf8 || EqualIgnoringAsciiCase(arguments[i], L"/utf8");
    return {StartupMode::List, first, utf8};
  }
  if (NeedsRemovalParser(arguments)) return {StartupMode::RemoveByRequest, first};
  if (ParseDriveArgument(first)) return {StartupMode::RemoveByDrive, first};
  return {StartupMode::RemoveByName, first};
}

int ExitStatusForSwitch(winvalues::HResult result) { return result == winvalues::kSOk ? 0 : 1; }
