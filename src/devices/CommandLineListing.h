// What "/list" prints: the names that the removal by name accepts, so that a script
// can find the exact text to pass.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "devices/DeviceTree.h"
#include "devices/SystemNames.h"

// The storage description of the running system first (it removes every USB
// mass-storage device), then each name the device list page offers for `deviceKind`,
// once, in listing order.
std::vector<std::wstring> CommandLineNames(DeviceTree& tree, const SystemNames& names,
                                           std::uint32_t deviceKind);

// One name a line, each ended by CR LF. A line break inside a name would split it into
// two names that match nothing, so it is shown as a blank.
std::wstring FormatNameLines(const std::vector<std::wstring>& names);
