#include "devices/HotPlugDisks.h"

#include <algorithm>

#include "devices/DeviceClasses.h"
#include "devices/DeviceNodes.h"
#include "devices/DriveHolder.h"
#include "devices/NodeRoles.h"
#include "devices/StorageInterfaces.h"

namespace {

// Those buses have kinds of their own, which list their disks already.
bool OnKindBus(DeviceTree& tree, DevNode disk) {
  for (std::optional<DevNode> node = disk; node; node = GetParentNode(tree, *node)) {
    const auto guid = GetNodeClass(tree, *node);
    if (guid && (*guid == kGuidDevclassUsb || *guid == kGuidDevclassPcmcia ||
                 *guid == kGuidDevclass1394))
      return true;
    if (HasMassStorageService(tree, *node)) return true;
  }
  return false;
}

}  // namespace

bool HoldsSystemDisk(DeviceTree& tree, DriveStorage& storage, DevNode holder) {
  const std::vector<StorageNumber> kept = storage.SystemDiskNumbers();
  if (kept.empty()) return false;
  for (const DeviceInterfacePath& disk : tree.GetDeviceInterfaces(kGuidDevinterfaceDisk)) {
    if (!IsAtOrBelow(tree, disk.node, holder)) continue;
    const auto number = storage.DeviceNumber(disk.path);
    if (number && std::find(kept.begin(), kept.end(), *number) != kept.end()) return true;
  }
  return false;
}

std::vector<HotPlugDisk> FindHotPlugDisks(DeviceTree& tree, DriveStorage& storage) {
  std::vector<HotPlugDisk> found;
  for (const DeviceInterfacePath& disk : tree.GetDeviceInterfaces(kGuidDevinterfaceDisk)) {
    const auto holder = RemovableHolder(tree, disk.node);
    if (!holder || OnKindBus(tree, disk.node) || HoldsSystemDisk(tree, storage, *holder)) continue;
    found.push_back({disk.node, *holder});
  }
  return found;
}
