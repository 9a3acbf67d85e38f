// Which of the start-up modes a command line selects, and the exit status of the
// shortcut switches.
#pragma once

#include <string>
#include <vector>

#include "common/WinValues.h"

enum class StartupMode {
  Resident,
  CreateShortcut,
  DeleteShortcut,
  List,           // "/list": the names that removal by name accepts
  RemoveByDrive,  // "E:" or "E:\": the removable device that holds the drive
  RemoveByName,
  // Switches, labels, mount folders, more than one argument: the removal command line
  // that people and backup scripts write, the usage among it.
  RemoveByRequest,
};

struct StartupChoice {
  StartupMode mode = StartupMode::Resident;
  std::wstring argument;  // the first argument as given; after "/card", the drive
  bool utf8 = false;      // "/list /utf8": UTF-8 wherever the output is redirected
  bool json = false;      // "/list /json": one JSON array for scripts
  bool operator==(const StartupChoice&) const = default;
};

// `arguments` excludes the program name. Only the first argument counts; the
// shortcut switches are recognised (without regard to case) on Vista or later only,
// "/list" and drive letters on every version. "/utf8" after "/list" asks for UTF-8,
// "/json" for JSON.
StartupChoice ChooseStartupMode(const std::vector<std::wstring>& arguments, bool vistaOrLater);

// Scripts read it: 0 for success, else 1.
int ExitStatusForSwitch(winvalues::HResult result);
