// Which removable device holds a drive: the device whose physical device object the
// drive's letter names, followed up the tree to the first node that can be removed.
#pragma once

#include <optional>
#include <string_view>

#include "devices/DeviceTree.h"

// PDO names are kernel object paths such as \Device\HarddiskVolume3; this holds any.
inline constexpr std::size_t kDeviceObjectNameUnits = 260;

// The first present node (in the system's order) whose CM_DRP_PHYSICAL_DEVICE_OBJECT_NAME
// is `deviceObjectName`, compared as the object manager does, without regard to case.
std::optional<DevNode> FindNodeOfDeviceObject(DeviceTree& tree, std::wstring_view deviceObjectName);

// The nearest ancestor of `node` that reports DN_REMOVABLE; the node itself is not
// considered, for a volume is never what the user unplugs.
std::optional<DevNode> NearestRemovableAncestor(DeviceTree& tree, DevNode node);

// Both together: the removable device that holds the drive whose DOS device maps to
// `deviceObjectName`, or nothing when no present node or no removable ancestor has it.
std::optional<DevNode> FindRemovableHolder(DeviceTree& tree, std::wstring_view deviceObjectName);
