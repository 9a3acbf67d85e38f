// What the main window and its removal worker read and write, handed in by the program.
#pragma once

#include <string>

#include "pnp/SystemNames.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsRecord.h"

struct ResidentContext {
  SettingsFile& settingsFile;
  // Reloaded by the main window whenever the settings may have changed.
  SettingsRecord& settings;
  const std::wstring& helpPath;
  const SystemNames& names;
};
