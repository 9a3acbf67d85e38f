// What "/whatif" tells would go, one line a device or card, under the name the device
// list offers it by and with the drives it holds.
#pragma once

#include <vector>

#include "commandline/EjectRecordingTree.h"
#include "common/Prompter.h"
#include "drives/Drives.h"
#include "pnp/SystemNames.h"

// `answers`: the requests the removal would have made, a node once however often asked;
// `cards`: the drives whose medium it would have taken out. `tree` and `drives` as they
// are, not as the walk left them.
std::vector<PromptLine> WhatIfLines(DeviceTree& tree, Drives& drives, const SystemNames& names,
                                    const std::vector<EjectAnswer>& answers,
                                    const std::vector<wchar_t>& cards);
