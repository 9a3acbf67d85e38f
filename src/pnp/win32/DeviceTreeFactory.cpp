#include "pnp/win32/DeviceTreeFactory.h"

#include "pnp/win32/ConfigManagerTree.h"

std::unique_ptr<DeviceTree> CreateDeviceTree() { return std::make_unique<ConfigManagerTree>(); }
