// Which of the three start-up modes a command line selects, and the exit status
// each mode reports.
#pragma once

#include <string>
#include <vector>

#include "common/WinValues.h"

enum class StartupMode { Resident, CreateShortcut, DeleteShortcut, RemoveByName };

struct StartupChoice {
  StartupMode mode = StartupMode::Resident;
  std::wstring argument;  // the first argument; the device name for RemoveByName
  bool operator==(const StartupChoice&) const = default;
};

// `arguments` excludes the program name. Only the first argument counts; the
// switches are recognised (without regard to case) on Vista or later only.
StartupChoice ChooseStartupMode(const std::vector<std::wstring>& arguments, bool vistaOrLater);

// Scripts read these: success is 0, anything else 1.
int ExitStatusForSwitch(winvalues::HResult result);
int ExitStatusForRemoval(bool anythingRemoved);
