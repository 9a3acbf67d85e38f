#include "devices/UsbStoragePresence.h"

#include "devices/KeptOutOfAllStorage.h"
#include "pnp/DeviceClasses.h"
#include "pnp/DeviceNames.h"
#include "pnp/DeviceNodes.h"
#include "pnp/NodeRoles.h"

namespace {

bool StorageAtOrBelow(DeviceTree& tree, DevNode node, const SystemNames& names,
                      const std::vector<std::wstring>& keptOut) {
  if (IsUsbMassStorage(tree, node, GetDeviceName(tree, node), names))
    return !KeptOutOfAllStorage(tree, node, keptOut);
  for (auto child = GetFirstChild(tree, node); child; child = GetNextSibling(tree, *child))
    if (StorageAtOrBelow(tree, *child, names, keptOut)) return true;
  return false;
}

}  // namespace

bool UsbMassStoragePresent(DeviceTree& tree, const SystemNames& names,
                           const std::vector<std::wstring>& keptOut) {
  bool present = false;
  for (const SweptClass& swept : kSweepOrder) {
    if (swept.kind != kKindUsb) continue;
    ForEachClassDevice(tree, swept, [&](DevNode member) {
      if (!present) present = StorageAtOrBelow(tree, member, names, keptOut);
    });
  }
  return present;
}
