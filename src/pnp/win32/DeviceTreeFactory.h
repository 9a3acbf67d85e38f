// The device tree for this run: the running system's Configuration Manager.
#pragma once

#include <memory>

#include "pnp/DeviceTree.h"

std::unique_ptr<DeviceTree> CreateDeviceTree();
