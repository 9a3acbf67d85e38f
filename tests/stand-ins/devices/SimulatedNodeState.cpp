#include "SimulatedNodeState.h"

#include "SimulatedDeviceTree.h"

using namespace simulated_state;

std::uint32_t SimulatedStatus(const SimulatedNode& node) {
  std::uint32_t status = kDnNtEnumerator | kDnNtDriver;
  status |= node.problem ? winvalues::kDnHasProblem : kDnDriverLoaded | kDnStarted;
  if (node.removable) status |= winvalues::kDnRemovable;
  if (node.disableable) status |= winvalues::kDnDisableable;
  return status;
}

// The bus driver reports Removable (the status's DN_REMOVABLE mirrors it) and
// EjectSupported; SurpriseRemovalOK is the function driver's word, and the USB hub and NDIS
// clear it unless the driver sets it again (Microsoft KB 298504), so it is off unless the
// file says so.
std::uint32_t SimulatedCapabilities(const SimulatedNode& node) {
  return (node.removable ? kCapRemovable : 0u) | (node.surpriseOk ? kCapSurpriseRemovalOk : 0u) |
         (node.ejectSupported ? kCapEjectSupported : 0u);
}

std::wstring SimulatedEnumerator(std::wstring_view instanceId) {
  return std::wstring(instanceId.substr(0, instanceId.find(L'\\')));
}

winvalues::ConfigRet SimulatedDeviceTree::SystemProperty(DevNode node, std::uint32_t cmDrp,
                                                         SimulatedValue& value) {
  const int index = PresentIndexOf(node);
  if (index < 0) return winvalues::kCrNoSuchDevnode;
  const SimulatedNode& found = tree_.nodes[static_cast<std::size_t>(index)];
  switch (cmDrp) {
    case kDrpCapabilities:
      value = SimulatedCapabilities(found);
      return winvalues::kCrSuccess;
    case kDrpEnumeratorName:
      value = SimulatedEnumerator(InstancePathOf(index));
      return winvalues::kCrSuccess;
    case kDrpRemovalPolicy:
      value = RemovalPolicyOf(index);
      return winvalues::kCrSuccess;
    case kDrpAddress:
      if (!found.address) return winvalues::kCrNoSuchValue;
      value = *found.address;
      return winvalues::kCrSuccess;
    case kDrpLocationInformation:
      if (!found.location) return winvalues::kCrNoSuchValue;
      value = *found.location;
      return winvalues::kCrSuccess;
    default:
      return winvalues::kCrNoSuchValue;
  }
}

// The system bases the policy on the bus of the removable device, or of the removable
// device the node belongs to: USB, IEEE 1394 and PC Card devices are pulled without
// warning, others are removed in order, and a node with nothing removable at or above it
// is not expected to go ("Removal Policy for a Device", Microsoft's hardware developer
// support blog). Disks below a USB device therefore expect surprise removal, which is what
// makes them hot-plug disks (STORAGE_HOTPLUG_INFO, Microsoft's reference). A CardBus card
// has a PCI ID but sits in a PC Card socket, below its CardBus controller.
std::uint32_t SimulatedDeviceTree::RemovalPolicyOf(int index) const {
  const SimulatedNode& own = tree_.nodes[static_cast<std::size_t>(index)];
  if (own.removalPolicy) return *own.removalPolicy;
  for (int at = index; at > 0; at = tree_.nodes[static_cast<std::size_t>(at)].parent) {
    const SimulatedNode& node = tree_.nodes[static_cast<std::size_t>(at)];
    if (!node.removable) continue;
    const std::wstring bus = SimulatedEnumerator(InstancePathOf(at));
    const bool inSocket = tree_.nodes[static_cast<std::size_t>(node.parent)].classWord == "pcmcia";
    return bus == L"USB" || bus == L"1394" || bus == L"PCMCIA" || inSocket
               ? kPolicyExpectSurpriseRemoval
               : kPolicyExpectOrderlyRemoval;
  }
  return kPolicyExpectNoRemoval;
}
