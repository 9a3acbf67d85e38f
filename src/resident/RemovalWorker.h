// What the removal worker does on its thread: find and eject the registration's
// device, store its count, then congratulate or report the failure.
#pragma once

#include <functional>
#include <string>

#include "resident/MainWndState.h"
#include "settings/SettingsRecord.h"

class Prompter;
class SettingsFile;

struct RemovalServices {
  // Ejects every device carrying `name`, counting each success on `record`;
  // returns whether anything was ejected.
  std::function<bool(const std::wstring& name, tag_device_hotkey_info& record)> findAndEject;
  // Shows the balloon when `count` is a milestone.
  std::function<void(const std::wstring& name, int count)> showBalloon;
  SettingsFile& settingsFile;
  Prompter& prompter;  // owned by the main window
};

// Always 0, the worker thread's exit code.
unsigned RemoveRegisteredDevice(MainWndState& state, const SettingsRecord& settings,
                                RemovalServices& services);
