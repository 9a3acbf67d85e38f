// Whether the all-storage entry has anything to remove now: a USB mass-storage device
// among the class devices swept for the USB kind (UAS drives included), at any depth
// below them (a composite device's storage interface), as the all-storage removal finds them,
// and not kept out of it.
#pragma once

#include <string>
#include <vector>

#include "pnp/DeviceTree.h"
#include "pnp/SystemNames.h"

bool UsbMassStoragePresent(DeviceTree& tree, const SystemNames& names,
                           const std::vector<std::wstring>& keptOut = {});
