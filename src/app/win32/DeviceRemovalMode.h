// The removal-by-name mode: removes the devices named on the command line.
#pragma once

#include <string>

#include "settings/SettingsRecord.h"

// Returns whether at least one eject request succeeded.
bool RemoveDeviceByNameMode(const std::wstring& name, const SettingsRecord& settings);
