#include "drives/DriveHolders.h"

#include <algorithm>

#include "drives/DiskInterfaces.h"
#include "pnp/DeviceNodes.h"

std::optional<SetupClassGuid> DriveInterfaceClass(unsigned driveType,
                                                  const std::optional<std::wstring>& dosDevice) {
  switch (driveType) {
    case winvalues::kDriveCdrom:
      return kGuidDevinterfaceCdrom;
    case winvalues::kDriveRemovable:
      // Floppies number themselves apart from disks (\Device\Floppy0 beside
      // \Device\Harddisk0): a floppy's number is matched among floppies only.
      if (dosDevice && dosDevice->find(L"\\Floppy") != std::wstring::npos)
        return kGuidDevinterfaceFloppy;
      return kGuidDevinterfaceDisk;
    case winvalues::kDriveFixed:
      return kGuidDevinterfaceDisk;
    default:
      return std::nullopt;
  }
}

std::vector<DevNode> FindDriveDevices(DeviceTree& tree, Drives& storage, wchar_t letter) {
  std::vector<DevNode> devices;
  const auto interfaceClass =
      DriveInterfaceClass(storage.DriveType(letter), storage.DosDevice(letter));
  if (!interfaceClass) return devices;
  const std::vector<StorageNumber> wanted = storage.VolumeNumbers(letter);
  if (wanted.empty()) return devices;
  for (const DeviceInterfacePath& found : tree.GetDeviceInterfaces(*interfaceClass)) {
    const auto number = storage.DeviceNumber(found.path);
    if (number && std::find(wanted.begin(), wanted.end(), *number) != wanted.end() &&
        std::find(devices.begin(), devices.end(), found.node) == devices.end())
      devices.push_back(found.node);
  }
  return devices;
}

std::optional<DevNode> NearestRemovableAncestor(DeviceTree& tree, DevNode node) {
  for (auto ancestor = GetParentNode(tree, node); ancestor;
       ancestor = GetParentNode(tree, *ancestor)) {
    const auto status = GetNodeStatus(tree, *ancestor);
    if (status && (*status & winvalues::kDnRemovable) != 0) return ancestor;
  }
  return std::nullopt;
}

bool IsAtOrBelow(DeviceTree& tree, DevNode node, DevNode top) {
  for (std::optional<DevNode> each = node; each; each = GetParentNode(tree, *each))
    if (*each == top) return true;
  return false;
}

std::optional<DevNode> RemovableHolder(DeviceTree& tree, DevNode disk) {
  const auto status = GetNodeStatus(tree, disk);
  if (status && (*status & winvalues::kDnRemovable) != 0) return disk;
  return NearestRemovableAncestor(tree, disk);
}

std::vector<DevNode> FindDriveHolders(DeviceTree& tree, Drives& storage, wchar_t letter) {
  std::vector<DevNode> holders;
  for (const DevNode device : FindDriveDevices(tree, storage, letter)) {
    const auto holder = RemovableHolder(tree, device);
    if (holder && std::find(holders.begin(), holders.end(), *holder) == holders.end())
      holders.push_back(*holder);
  }
  return holders;
}
