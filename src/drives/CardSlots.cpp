#include "drives/CardSlots.h"

#include <algorithm>

#include "drives/DiskInterfaces.h"
#include "drives/DriveHolders.h"
#include "drives/MediumEjection.h"
#include "pnp/DeviceNames.h"
#include "pnp/DeviceNodes.h"

namespace {

std::size_t DisksBelow(DeviceTree& tree, const std::vector<DeviceInterfacePath>& disks,
                       DevNode holder) {
  return static_cast<std::size_t>(std::count_if(disks.begin(), disks.end(), [&](const auto& disk) {
    return IsAtOrBelow(tree, disk.node, holder);
  }));
}

}  // namespace

std::vector<CardSlot> FindCardSlots(DeviceTree& tree, Drives& storage) {
  std::vector<CardSlot> slots;
  std::vector<DeviceInterfacePath> disks;
  bool disksRead = false;
  for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
    if (!HasRemovableMedium(storage, letter)) continue;
    for (const DevNode disk : FindDriveDevices(tree, storage, letter)) {
      if (!disksRead) {
        disks = tree.GetDeviceInterfaces(kGuidDevinterfaceDisk);
        disksRead = true;
      }
      const auto holder = RemovableHolder(tree, disk);
      if (!holder || DisksBelow(tree, disks, *holder) > 1) slots.push_back({disk, letter});
    }
  }
  return slots;
}

std::wstring CardName(DeviceTree& tree, Drives& storage, wchar_t letter) {
  const std::vector<DevNode> disks = FindDriveDevices(tree, storage, letter);
  const std::wstring drive{letter, L':'};
  return disks.empty() ? drive : GetDeviceName(tree, disks.front()) + L" (" + drive + L")";
}
