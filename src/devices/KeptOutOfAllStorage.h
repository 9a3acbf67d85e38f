// Whether a device is kept out of the all-storage entry: the user names it by the row the
// device list shows, which for a stick is its disk, below the node that is ejected.
#pragma once

#include <string>
#include <vector>

#include "pnp/DeviceTree.h"

// True when `node` or any node below it carries one of `keptOut` (A-Z without case).
bool KeptOutOfAllStorage(DeviceTree& tree, DevNode node, const std::vector<std::wstring>& keptOut);
