// Which removable device holds a drive: the disk, CD-ROM or floppy whose storage device
// number is the drive's, found among the device interfaces of its kind, followed up the
// tree to the nearest node that can be removed. Volumes hang below the volume manager,
// not below their disks, so the volume's own node never leads to the device.
#pragma once

#include <optional>
#include <vector>

#include "drives/Drives.h"
#include "pnp/DeviceTree.h"

// The interface class to search for a drive of `driveType` (GetDriveTypeW) whose DOS
// device is `dosDevice`: nothing for a drive that no local device holds (network,
// RAM disk, no drive at all).
std::optional<SetupClassGuid> DriveInterfaceClass(unsigned driveType,
                                                  const std::optional<std::wstring>& dosDevice);

// The nodes of the devices that drive `letter` lies on, in the system's interface order.
std::vector<DevNode> FindDriveDevices(DeviceTree& tree, Drives& storage, wchar_t letter);

// The nearest ancestor of `node` that reports DN_REMOVABLE; the node itself is not
// considered, for a disk is a function of the device the user unplugs, not the device.
std::optional<DevNode> NearestRemovableAncestor(DeviceTree& tree, DevNode node);

// Whether `node` is `top` or hangs below it.
bool IsAtOrBelow(DeviceTree& tree, DevNode node, DevNode top);

// The node whose removal takes `disk` away: the disk itself where it is the topmost
// removable node (the ATA driver marks an eSATA disk so), else its nearest removable
// ancestor, for Windows marks only the topmost node of a device removable.
std::optional<DevNode> RemovableHolder(DeviceTree& tree, DevNode disk);

// The removable devices that hold drive `letter`, each once: one for a drive on one
// device, several for a volume that spans the disks of several.
std::vector<DevNode> FindDriveHolders(DeviceTree& tree, Drives& storage, wchar_t letter);
