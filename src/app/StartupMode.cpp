#include "app/StartupMode.h"

#include <string_view>

#include "app/CommandLineRequest.h"
#include "app/DriveArgument.h"

namespace {

// The switches are plain ASCII, so folding A-Z is all the case-blind comparison needs.
wchar_t FoldAsciiCase(wchar_t c) {
  return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c - L'A' + L'a') : c;
}

bool EqualsIgnoringAsciiCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (FoldAsciiCase(a[i]) != FoldAsciiCase(b[i])) return false;
  }
  return true;
}

}  // namespace

StartupChoice ChooseStartupMode(const std::vector<std::wstring>& arguments, bool vistaOrLater) {
  if (arguments.empty()) return {StartupMode::Resident, {}};
  const std::wstring& first = arguments.front();
  // Before Vista a switch is not recognised: it is taken as a device name like any
  // other argument.
  if (vistaOrLater) {
    if (EqualsIgnoringAsciiCase(first, L"/create")) return {StartupMode::CreateShortcut, first};
    if (EqualsIgnoringAsciiCase(first, L"/delete")) return {StartupMode::DeleteShortcut, first};
  }
  if (EqualsIgnoringAsciiCase(first, L"/list")) {
    bool utf8 = false;
    for (std::size_t i = 1; i < arguments.size(); ++i)
      utf8 = utf8 || EqualsIgnoringAsciiCase(arguments[i], L"/utf8");
    return {StartupMode::List, first, utf8};
  }
  if (NeedsRemovalParser(arguments)) return {StartupMode::RemoveByRequest, first};
  if (ParseDriveArgument(first)) return {StartupMode::RemoveByDrive, first};
  return {StartupMode::RemoveByName, first};
}

int ExitStatusForSwitch(winvalues::HResult result) { return result == winvalues::kSOk ? 0 : 1; }

int ExitStatusForRemoval(const RemovalTally& tally) {
  if (tally.successes > 0) return 0;
  return tally.requests == 0 ? 1 : 2;
}
