#include "devices/DriveHolder.h"

#include <string>

#include "devices/DeviceNames.h"
#include "devices/DeviceNodes.h"

std::optional<DevNode> FindNodeOfDeviceObject(DeviceTree& tree,
                                              std::wstring_view deviceObjectName) {
  if (deviceObjectName.empty()) return std::nullopt;
  const auto present = tree.GetAllPresentDevices();
  if (!present) return std::nullopt;
  DevNode node = 0;
  for (std::uint32_t index = 0; present->EnumMember(index, node); ++index) {
    std::wstring name;
    if (tree.GetRegistryProperty(node, DeviceProperty::PhysicalDeviceObjectName,
                                 kDeviceObjectNameUnits, name) == winvalues::kCrSuccess &&
        DeviceNamesEqual(name, deviceObjectName))
      return node;
  }
  return std::nullopt;
}

std::optional<DevNode> NearestRemovableAncestor(DeviceTree& tree, DevNode node) {
  for (auto ancestor = GetParentNode(tree, node); ancestor;
       ancestor = GetParentNode(tree, *ancestor)) {
    const auto status = GetNodeStatus(tree, *ancestor);
    if (status && (*status & winvalues::kDnRemovable) != 0) return ancestor;
  }
  return std::nullopt;
}

std::optional<DevNode> FindRemovableHolder(DeviceTree& tree, std::wstring_view deviceObjectName) {
  const auto node = FindNodeOfDeviceObject(tree, deviceObjectName);
  return node ? NearestRemovableAncestor(tree, *node) : std::nullopt;
}
