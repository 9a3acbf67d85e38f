#include "devices/win32/DeviceTreeFactory.h"

#include "devices/win32/ConfigManagerTree.h"

std::unique_ptr<DeviceTree> CreateDeviceTree() { return std::make_unique<ConfigManagerTree>(); }
