#include "devices/DeviceRemoval.h"

#include <algorithm>
#include <string>

#include "devices/KeptOutOfAllStorage.h"
#include "drives/HotPlugDisks.h"
#include "pnp/DeviceClasses.h"
#include "pnp/DeviceNames.h"
#include "pnp/DeviceNodes.h"
#include "pnp/NodeRoles.h"

using winvalues::kCrSuccess;

DeviceRemoval::DeviceRemoval(DeviceTree& tree, std::uint32_t deviceKind, SystemNames names,
                             StorageEjectPreparation& preparation)
    : tree_(tree), deviceKind_(deviceKind), names_(std::move(names)), preparation_(preparation) {}

bool DeviceRemoval::FindAndEject(std::wstring_view name, tag_device_hotkey_info* toCount,
                                 RemovalStartedBy startedBy) {
  patterns_ = startedBy == RemovalStartedBy::CommandLine;
  allStorage_ = names_.IsStorageName(name);
  bool found = false;
  for (const SweptClass& swept : kSweepOrder) {
    if (StopAsked()) break;
    const bool usb = swept.kind == kKindUsb;
    const bool selected =
        (deviceKind_ & swept.kind) != 0 || (usb && startedBy == RemovalStartedBy::CommandLine);
    if (!selected) continue;
    ForEachClassDevice(tree_, swept, [&](DevNode member) {
      if (usb)
        SweepUsbMember(member, name, toCount, found);
      else
        SweepOtherMember(member, name, toCount, found);
    });
  }
  allStorage_ = false;
  return found;
}

void DeviceRemoval::SweepUsbMember(DevNode member, std::wstring_view name,
                                   tag_device_hotkey_info* toCount, bool& found) {
  const auto child = GetFirstChild(tree_, member);
  if (!child) {
    if (EjectChildlessMember(member, name, toCount)) found = true;
    return;
  }
  if (EjectMatches(*child, name, toCount)) {
    found = true;
    return;
  }
  const std::wstring childName = GetDeviceName(tree_, *child);
  if (Matches(*child, childName, name) &&
      EjectTallied(EjectedForMatchedChild(*child, childName, member), toCount)) {
    found = true;
    return;
  }
  // The all-storage registration takes the storage member itself even when what hangs
  // below it carries other names.
  if (names_.IsStorageName(name) && IsStorage(member, GetDeviceName(tree_, member)) &&
      EjectTallied(member, toCount))
    found = true;
}

void DeviceRemoval::SweepOtherMember(DevNode member, std::wstring_view name,
                                     tag_device_hotkey_info* toCount, bool& found) {
  const auto child = GetFirstChild(tree_, member);
  if (!child) {
    if (EjectChildlessMember(member, name, toCount)) found = true;
    return;
  }
  if (EjectMatches(*child, name, toCount)) {
    found = true;
    return;
  }
  const std::wstring childName = GetDeviceName(tree_, *child);
  if (NameMatches(childName, name) && NamedWhilePresent(tree_, *child, childName) &&
      EjectTallied(member, toCount))
    found = true;
}

bool DeviceRemoval::EjectMatches(DevNode node, std::wstring_view name,
                                 tag_device_hotkey_info* toCount) {
  bool succeeded = false;
  bool firstOfChain = true;
  for (std::optional<DevNode> y = node, next; y; y = next, firstOfChain = false) {
    // Read before anything goes: an ejected node leaves the tree, and the siblings after
    // it (the other interfaces of a composite device) could no longer be reached.
    next = GetNextSibling(tree_, *y);
    const auto child = GetFirstChild(tree_, *y);
    if (!child) {
      const std::wstring leafName = GetDeviceName(tree_, *y);
      if (Matches(*y, leafName, name) && EjectForMatchedLeaf(*y, leafName, toCount))
        succeeded = true;
      continue;
    }
    if (EjectMatches(*child, name, toCount)) succeeded = true;
    const std::wstring childName = GetDeviceName(tree_, *child);
    if (Matches(*child, childName, name) &&
        EjectTallied(EjectedForMatchedChild(*child, childName, *y), toCount))
      succeeded = true;
    // An inner node that is not a first child is compared by no parent's level, yet the
    // device list can offer it (the second slot of a card reader): compare it here, as a
    // leaf would be.
    if (!firstOfChain) {
      const std::wstring ownName = GetDeviceName(tree_, *y);
      if (Matches(*y, ownName, name) && EjectForMatchedLeaf(*y, ownName, toCount)) succeeded = true;
    }
  }
  return succeeded;
}

DevNode DeviceRemoval::EjectedForMatchedChild(DevNode child, std::wstring_view childName,
                                              DevNode parent) {
  // A removable child goes by itself: its parent may be a hub (a dock's), whose removal
  // would take every device on it.
  return IsStorage(child, childName) || IsRemovableNode(tree_, child) ? child : parent;
}

bool DeviceRemoval::EjectChildlessMember(DevNode member, std::wstring_view name,
                                         tag_device_hotkey_info* toCount) {
  return Matches(member, GetDeviceName(tree_, member), name) && EjectTallied(member, toCount);
}

bool DeviceRemoval::IsStorage(DevNode node, std::wstring_view displayName) {
  return IsUsbMassStorage(tree_, node, displayName, names_);
}

bool DeviceRemoval::Matches(DevNode node, std::wstring_view displayName, std::wstring_view name) {
  if (std::find(passedOver_.begin(), passedOver_.end(), node) != passedOver_.end()) return false;
  if (NameMatches(displayName, name)) return NamedWhilePresent(tree_, node, displayName);
  // The storage description stands for every USB mass-storage device, and on a system of
  // another language no node carries it.
  return names_.IsStorageName(name) && HasMassStorageService(tree_, node);
}

bool DeviceRemoval::NameMatches(std::wstring_view displayName, std::wstring_view name) const {
  return patterns_ ? DeviceNameMatches(displayName, name) : DeviceNamesEqual(displayName, name);
}

bool DeviceRemoval::EjectForMatchedLeaf(DevNode matched, const std::wstring& matchedName,
                                        tag_device_hotkey_info* toCount) {
  if (IsStorage(matched, matchedName)) return EjectTallied(matched, toCount);
  // A device plugged in behind a hub is a leaf of the hub's branch: its parent is the
  // hub, whose removal would take every device on it.
  if (IsRemovableNode(tree_, matched)) return EjectTallied(matched, toCount);
  const auto parent = GetParentNode(tree_, matched);
  return parent && EjectTallied(*parent, toCount);
}

std::optional<winvalues::ConfigRet> DeviceRemoval::EjectDevice(DevNode node) {
  if (StopAsked()) return std::nullopt;
  // A Windows To Go stick is USB storage like any other, and its request would be granted.
  if (drives_ != nullptr && HoldsSystemDisk(tree_, *drives_, node)) return std::nullopt;
  std::wstring desc;
  if (tree_.GetRegistryProperty(node, DeviceProperty::DeviceDesc, kStorageTestBufferUnits, desc) !=
      kCrSuccess)
    desc.clear();
  if (IsUsbMassStorage(tree_, node, desc, names_)) {
    preparation_.PrepareStorageEject();
    // The preparation can last seconds (the pause after closing Explorer windows), long
    // enough for the user to give up meanwhile.
    if (StopAsked()) return std::nullopt;
  }
  EjectVeto veto;
  const winvalues::ConfigRet result = tree_.RequestDeviceEjectTellingVeto(node, veto);
  if (result == winvalues::kCrRemoveVetoed) RecordVeto(node, std::move(veto));
  return result;
}

void DeviceRemoval::RecordVeto(DevNode node, EjectVeto veto) {
  VetoedRequest vetoed{node, GetDeviceName(tree_, node), std::move(veto), {}, std::nullopt};
  // A USB mass-storage node is known to the user by its disk, as the device list offers it.
  if (IsStorage(node, vetoed.deviceName)) {
    if (const auto disk = GetFirstChild(tree_, node))
      vetoed.deviceName = GetDeviceName(tree_, *disk);
  }
  // Read now: the node is still present, and the log names what held it by these IDs.
  ForEachNodeAndBelow(tree_, node, [&](DevNode each) {
    std::wstring id;
    if (tree_.GetDeviceInstanceId(each, id) == kCrSuccess) vetoed.instanceIds.push_back(id);
  });
  vetoes_.push_back(std::move(vetoed));
}

bool DeviceRemoval::EjectTallied(DevNode node, tag_device_hotkey_info* toCount) {
  if (std::find(refused_.begin(), refused_.end(), node) != refused_.end()) return false;
  // Every road to the all-storage entry (its hotkey, the eject menu, the command line's
  // name) ends here, so a kept device is passed over the same way on each.
  if (allStorage_ && KeptOutOfAllStorage(tree_, node, keptOut_)) return false;
  const std::optional<winvalues::ConfigRet> result = EjectDevice(node);
  if (!result) return false;
  ++tally_.requests;
  if (*result != kCrSuccess) {
    refused_.push_back(node);
    return false;
  }
  ++tally_.successes;
  if (toCount) ++toCount->reject_times;
  return true;
}

void FindVetoHolders(std::vector<VetoedRequest>& vetoes, const VetoHolderFinder& find,
                     const RemovalStop* stop) {
  if (!find) return;
  for (VetoedRequest& vetoed : vetoes) {
    if (stop != nullptr && stop->StopAsked()) return;
    vetoed.holder = find(vetoed);
  }
}
