// The modes a script uses: removal by name, removal by drive letter and the listing of
// the names. Each runs before any window exists and gives the process's exit status.
#pragma once

#include <string>

#include "pnp/SystemNames.h"
#include "settings/SettingsRecord.h"

int RunRemovalByName(const std::wstring& name, const SettingsRecord& settings,
                     const SystemNames& names);
int RunRemovalByDrive(const std::wstring& argument, const SettingsRecord& settings,
                      const SystemNames& names);
// `utf8`: redirected output in UTF-8 rather than in the code page its reader expects.
// `json`: the devices as JSON objects rather than their names.
int RunListing(const SettingsRecord& settings, const SystemNames& names, bool utf8, bool json);
