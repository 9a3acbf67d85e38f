#include "pnp/DeviceNodes.h"

using winvalues::kCrSuccess;

std::optional<DevNode> GetFirstChild(DeviceTree& tree, DevNode node) {
  DevNode child = 0;
  if (tree.GetChild(child, node) != kCrSuccess) return std::nullopt;
  return child;
}

std::optional<DevNode> GetNextSibling(DeviceTree& tree, DevNode node) {
  DevNode sibling = 0;
  if (tree.GetSibling(sibling, node) != kCrSuccess) return std::nullopt;
  return sibling;
}

std::optional<DevNode> GetParentNode(DeviceTree& tree, DevNode node) {
  DevNode parent = 0;
  if (tree.GetParent(parent, node) != kCrSuccess) return std::nullopt;
  return parent;
}

std::optional<std::uint32_t> GetNodeStatus(DeviceTree& tree, DevNode node) {
  std::uint32_t status = 0;
  std::uint32_t problem = 0;
  if (tree.GetDevNodeStatus(status, problem, node) != kCrSuccess) return std::nullopt;
  return status;
}

bool IsRemovableNode(DeviceTree& tree, DevNode node) {
  const auto status = GetNodeStatus(tree, node);
  if (!status) return false;
  constexpr std::uint32_t kRequired = winvalues::kDnRemovable | winvalues::kDnDisableable;
  return (*status & kRequired) == kRequired && (*status & winvalues::kDnHasProblem) == 0;
}

bool HasProblem(DeviceTree& tree, DevNode node) {
  const auto status = GetNodeStatus(tree, node);
  return status && (*status & winvalues::kDnHasProblem) != 0;
}

void ForEachPresentDevice(DeviceTree& tree, const SetupClassGuid& classGuid,
                          const std::function<void(DevNode)>& visitor) {
  const auto members = tree.GetPresentDevices(classGuid);
  if (!members) return;
  DevNode node = 0;
  for (std::uint32_t index = 0; members->EnumMember(index, node); ++index) visitor(node);
}

void ForEachNodeAndBelow(DeviceTree& tree, DevNode node,
                         const std::function<void(DevNode)>& visitor) {
  visitor(node);
  for (auto child = GetFirstChild(tree, node); child; child = GetNextSibling(tree, *child))
    ForEachNodeAndBelow(tree, *child, visitor);
}
