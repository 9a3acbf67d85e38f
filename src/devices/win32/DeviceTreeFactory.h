// Chooses the device tree for this run: the simulated tree when TOLLEVANE_DEVICE_TREE
// names a tree file, the Configuration Manager otherwise.
#pragma once

#include <memory>

#include "devices/DeviceTree.h"

// Eject requests of a simulated tree are logged to the file that TOLLEVANE_EJECT_LOG
// names, when it names one.
std::unique_ptr<DeviceTree> CreateDeviceTree();
