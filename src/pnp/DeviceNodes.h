// Walking the device tree and testing nodes: the navigation, status and class-member
// operations that listing and removal build on.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "pnp/DeviceTree.h"

// Any failure of the underlying call means "no such node": walks end a branch there.
std::optional<DevNode> GetFirstChild(DeviceTree& tree, DevNode node);
std::optional<DevNode> GetNextSibling(DeviceTree& tree, DevNode node);
std::optional<DevNode> GetParentNode(DeviceTree& tree, DevNode node);

// The DN_* word, or nothing when it cannot be read.
std::optional<std::uint32_t> GetNodeStatus(DeviceTree& tree, DevNode node);

// DN_REMOVABLE and DN_DISABLEABLE set, DN_HAS_PROBLEM clear; an unreadable status fails.
bool IsRemovableNode(DeviceTree& tree, DevNode node);

// DN_HAS_PROBLEM set; an unreadable status counts as no problem.
bool HasProblem(DeviceTree& tree, DevNode node);

// Calls `visitor` for every present member of the class, in the system's order. A class
// whose set cannot be had contributes nothing.
void ForEachPresentDevice(DeviceTree& tree, const SetupClassGuid& classGuid,
                          const std::function<void(DevNode)>& visitor);

// Calls `visitor` for `node` and then for every node below it, depth first.
void ForEachNodeAndBelow(DeviceTree& tree, DevNode node,
                         const std::function<void(DevNode)>& visitor);
