#include "drives/HotPlugDisks.h"

#include <algorithm>

#include "drives/DiskInterfaces.h"
#include "drives/DriveHolders.h"
#include "pnp/DeviceClasses.h"
#include "pnp/DeviceNodes.h"
#include "pnp/NodeRoles.h"

namespace {

// Below a removable USB, PCMCIA or 1394 device, the kinds of those buses list the disk
// already. A controller built into the machine is in those classes too but starts no
// branch of theirs: a disk on a laptop's own FireWire port is listed here.
bool OnKindBus(DeviceTree& tree, DevNode disk) {
  for (std::optional<DevNode> node = disk; node; node = GetParentNode(tree, *node)) {
    if (HasMassStorageService(tree, *node)) return true;
    const auto guid = GetNodeClass(tree, *node);
    if (guid &&
        (*guid == kGuidDevclassUsb || *guid == kGuidDevclassPcmcia || *guid == kGuidDevclass1394) &&
        IsRemovableNode(tree, *node))
      return true;
  }
  return false;
}

}  // namespace

bool HoldsSystemDisk(DeviceTree& tree, Drives& storage, DevNode holder) {
  return HoldsSystemDisk(tree, storage, holder, tree.GetDeviceInterfaces(kGuidDevinterfaceDisk));
}

bool HoldsSystemDisk(DeviceTree& tree, Drives& storage, DevNode holder,
                     const std::vector<DeviceInterfacePath>& disks) {
  std::vector<std::wstring> below;
  for (const DeviceInterfacePath& disk : disks)
    if (IsAtOrBelow(tree, disk.node, holder)) below.push_back(disk.path);
  if (below.empty()) return false;
  // Not knowing which disk Windows runs from, none may go: the request would be granted.
  const std::vector<StorageNumber> kept = storage.SystemDiskNumbers();
  if (kept.empty()) return true;
  // A disk whose number cannot be read is none of them: Windows holds its own disks open,
  // and each of them answers.
  for (const std::wstring& path : below) {
    const auto number = storage.DeviceNumber(path);
    if (number && std::find(kept.begin(), kept.end(), *number) != kept.end()) return true;
  }
  return false;
}

std::vector<HotPlugDisk> FindHotPlugDisks(DeviceTree& tree, Drives& storage) {
  std::vector<HotPlugDisk> found;
  const std::vector<DeviceInterfacePath> disks = tree.GetDeviceInterfaces(kGuidDevinterfaceDisk);
  for (const DeviceInterfacePath& disk : disks) {
    const auto holder = RemovableHolder(tree, disk.node);
    if (!holder || OnKindBus(tree, disk.node) || HoldsSystemDisk(tree, storage, *holder, disks))
      continue;
    found.push_back({disk.node, *holder});
  }
  return found;
}
