// Disks that come and go on a hot-plug port that is neither USB, PCMCIA nor 1394: a
// Thunderbolt or USB4 NVMe enclosure (the removable node is its switch port in the
// hot-plug slot), an eSATA disk (the disk itself), a PCI Express hot-plug drive.
#pragma once

#include <vector>

#include "drives/Drives.h"
#include "pnp/DeviceTree.h"

struct HotPlugDisk {
  DevNode disk = 0;
  DevNode holder = 0;  // the node whose removal takes the disk away
  bool operator==(const HotPlugDisk&) const = default;
};

// In the system's interface order. A device that holds the disk Windows runs from, boots
// from or pages to is never one of them, whatever its slot says.
std::vector<HotPlugDisk> FindHotPlugDisks(DeviceTree& tree, Drives& storage);

// Whether a disk at or below `holder` is one Windows must keep; yes for every disk when
// the system's own disks cannot be learned.
bool HoldsSystemDisk(DeviceTree& tree, Drives& storage, DevNode holder);
// The same among `disks`, the disk interfaces a walk over many holders has read once.
bool HoldsSystemDisk(DeviceTree& tree, Drives& storage, DevNode holder,
                     const std::vector<DeviceInterfacePath>& disks);
