// The removal command line of people and backup scripts: the usage, a reason for what
// is wrong, labels, mount folders, patterns, "/whatif" and "/wait:SECONDS".
#pragma once

#include <string>
#include <vector>

#include "pnp/SystemNames.h"
#include "settings/SettingsRecord.h"

// `arguments` excludes the program name. The exit status.
int RunRemovalRequest(const std::vector<std::wstring>& arguments, const SettingsRecord& settings,
                      const SystemNames& names);
