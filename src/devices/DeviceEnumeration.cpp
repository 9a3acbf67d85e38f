#include "devices/DeviceEnumeration.h"

#include "drives/CardSlots.h"
#include "drives/DiskInterfaces.h"
#include "drives/HotPlugDisks.h"
#include "pnp/DeviceClasses.h"
#include "pnp/DeviceNames.h"
#include "pnp/DeviceNodes.h"
#include "pnp/NodeRoles.h"
#include "pnp/SystemNames.h"

DeviceEnumeration::DeviceEnumeration(DeviceTree& tree, std::uint32_t deviceKind,
                                     const SystemNames& names, const ClassImageList* imageList,
                                     DeviceListSink& sink)
    : tree_(tree), deviceKind_(deviceKind), names_(names), imageList_(imageList), sink_(sink) {}

void DeviceEnumeration::EnumerateDevices(bool refresh) {
  if (storage_ != nullptr) disks_ = tree_.GetDeviceInterfaces(kGuidDevinterfaceDisk);
  if (deviceKind_ & kKindUsb) {
    tag_device_hotkey_info allStorage;
    allStorage.name = names_.allStorageName;
    allStorage.key = allStorage.name;
    allStorage.device_kind = kKindUsb;
    allStorage.present = 1;
    sink_.AddOrUpdateRow(allStorage, refresh);
  }
  // Before the classes: a slot of a USB reader is also one of its disks, and the page
  // keeps the kind of a name's first delivery, which must take the card, not the reader.
  if (storage_ != nullptr && (deviceKind_ & kKindCard) != 0) {
    for (const CardSlot& slot : FindCardSlots(tree_, *storage_))
      Deliver(slot.disk, kKindCard, refresh);
  }
  for (const SweptClass& swept : kSweepOrder) {
    if ((deviceKind_ & swept.kind) == 0) continue;
    ForEachClassDevice(tree_, swept,
                       [&](DevNode member) { ListClassDevice(member, swept.kind, refresh); });
  }
  if (storage_ != nullptr && (deviceKind_ & kKindHotPlug) != 0) {
    for (const HotPlugDisk& disk : FindHotPlugDisks(tree_, *storage_))
      Deliver(disk.disk, kKindHotPlug, refresh);
  }
}

void DeviceEnumeration::ListClassDevice(DevNode member, std::uint32_t kind, bool refresh) {
  const auto child = GetFirstChild(tree_, member);
  if (!child) {
    Deliver(member, kind, refresh);
    return;
  }
  if (ListBranch(*child, kind, refresh)) return;
  if (IsRemovableNode(tree_, *child)) Deliver(*child, kind, refresh);
}

bool DeviceEnumeration::ListBranch(DevNode node, std::uint32_t kind, bool refresh) {
  bool claimed = false;
  for (std::optional<DevNode> y = node; y; y = GetNextSibling(tree_, *y)) {
    if (const auto child = GetFirstChild(tree_, *y)) {
      if (ListBranch(*child, kind, refresh)) continue;
    } else if (IsVolumeNode(tree_, *y)) {
      continue;
    }
    claimed = true;
    if (!HasProblem(tree_, *y)) Deliver(*y, kind, refresh);
  }
  return claimed;
}

void DeviceEnumeration::Deliver(DevNode node, std::uint32_t kind, bool refresh) {
  // The mass-storage node stands behind the disk drive listed in its place, and a hub is
  // never something a user ejects by itself, whatever the system's language calls them.
  if (HasMassStorageService(tree_, node) || HasHubService(tree_, node)) return;
  // A Windows To Go stick is never removed: offering it would only end in a failure.
  if (storage_ != nullptr && HoldsSystemDisk(tree_, *storage_, node, disks_)) return;
  tag_device_hotkey_info record;
  record.name = GetDeviceName(tree_, node);
  if (!NamedWhilePresent(tree_, node, record.name)) return;
  record.image = GetDeviceImage(tree_, node, imageList_);
  record.device_kind = kind;
  record.present = 1;
  sink_.AddOrUpdateRow(record, refresh);
  sink_.NodeListed(node, record);
  if (kind != kKindUsb || !sink_.WantsUsbStorage()) return;
  const auto parent = GetParentNode(tree_, node);
  if (parent && IsUsbMassStorage(tree_, *parent, GetDeviceName(tree_, *parent), names_))
    sink_.UsbStorageListed(record.name);
}
