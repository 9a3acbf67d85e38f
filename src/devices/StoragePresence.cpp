#include "devices/StoragePresence.h"

#include "devices/DeviceClasses.h"
#include "devices/DeviceNames.h"
#include "devices/DeviceNodes.h"

namespace {

bool StorageAtOrBelow(DeviceTree& tree, DevNode node, const SystemNames& names) {
  if (names.IsStorageName(GetDeviceName(tree, node))) return true;
  for (auto child = GetFirstChild(tree, node); child; child = GetNextSibling(tree, *child))
    if (StorageAtOrBelow(tree, *child, names)) return true;
  return false;
}

}  // namespace

bool UsbMassStoragePresent(DeviceTree& tree, const SystemNames& names) {
  bool present = false;
  ForEachPresentDevice(tree, kGuidDevclassUsb, [&](DevNode member) {
    if (!present && IsRemovableNode(tree, member)) present = StorageAtOrBelow(tree, member, names);
  });
  return present;
}
