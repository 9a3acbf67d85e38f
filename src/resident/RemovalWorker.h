// What the removal worker does on its thread: find and eject the registration's
// device, store its count, then congratulate or report the failure, unless the
// removal was abandoned meanwhile.
#pragma once

#include <functional>
#include <string>

#include "resident/RemovalJob.h"

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
  // Told once nothing of the removal's count is left to store; may be empty.
  std::function<void()> countSettled = nullptr;
};

// Always 0, the worker thread's exit code.
unsigned RemoveRegisteredDevice(RemovalJob& job, RemovalServices& services);
