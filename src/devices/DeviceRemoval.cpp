#include "devices/DeviceRemoval.h"

#include <string>

#include "devices/DeviceClasses.h"
#include "devices/DeviceNames.h"
#include "devices/DeviceNodes.h"
#include "devices/NodeRoles.h"

using winvalues::kCrSuccess;

DeviceRemoval::DeviceRemoval(DeviceTree& tree, std::uint32_t deviceKind, SystemNames names,
                             StorageEjectPreparation& preparation)
    : tree_(tree), deviceKind_(deviceKind), names_(std::move(names)), preparation_(preparation) {}

bool DeviceRemoval::FindAndEject(std::wstring_view name, tag_device_hotkey_info* toCount,
                                 RemovalRoad road) {
  patterns_ = road == RemovalRoad::CommandLine;
  bool found = false;
  for (const SweptClass& swept : kSweepOrder) {
    if (StopAsked()) break;
    const bool usb = swept.kind == kKindUsb;
    const bool selected =
        (deviceKind_ & swept.kind) != 0 || (usb && road == RemovalRoad::CommandLine);
    if (!selected) continue;
    ForEachClassDevice(tree_, swept, [&](DevNode member) {
      if (usb)
        SweepUsbMember(member, name, toCount, found);
      else
        SweepOtherMember(member, name, toCount, found);
    });
  }
  return found;
}

void DeviceRemoval::SweepUsbMember(DevNode member, std::wstring_view name,
                                   tag_device_hotkey_info* toCount, bool& found) {
  const auto child = GetFirstChild(tree_, member);
  if (!child) {
    if (EjectByOwnName(member, name, toCount)) found = true;
    return;
  }
  if (EjectMatches(*child, name, toCount)) {
    found = true;
    return;
  }
  const std::wstring childName = GetDeviceName(tree_, *child);
  if (Matches(*child, childName, name) &&
      EjectAndCount(IsStorage(*child, childName) ? *child : member, toCount)) {
    found = true;
    return;
  }
  // The all-storage registration takes the storage member itself even when what hangs
  // below it carries other names.
  if (names_.IsStorageName(name) && IsStorage(member, GetDeviceName(tree_, member)) &&
      EjectAndCount(member, toCount))
    found = true;
}

void DeviceRemoval::SweepOtherMember(DevNode member, std::wstring_view name,
                                     tag_device_hotkey_info* toCount, bool& found) {
  const auto child = GetFirstChild(tree_, member);
  if (!child) {
    if (EjectByOwnName(member, name, toCount)) found = true;
    return;
  }
  if (EjectMatches(*child, name, toCount)) {
    found = true;
    return;
  }
  if (NameMatches(GetDeviceName(tree_, *child), name) && EjectAndCount(member, toCount))
    found = true;
}

bool DeviceRemoval::EjectMatches(DevNode node, std::wstring_view name,
                                 tag_device_hotkey_info* toCount) {
  bool succeeded = false;
  bool firstOfChain = true;
  for (std::optional<DevNode> y = node; y; y = GetNextSibling(tree_, *y), firstOfChain = false) {
    const auto child = GetFirstChild(tree_, *y);
    if (!child) {
      const std::wstring leafName = GetDeviceName(tree_, *y);
      if (Matches(*y, leafName, name) && EjectForMatch(*y, leafName, toCount))
        succeeded = true;
      continue;
    }
    if (EjectMatches(*child, name, toCount)) succeeded = true;
    const std::wstring childName = GetDeviceName(tree_, *child);
    if (Matches(*child, childName, name) &&
        EjectAndCount(IsStorage(*child, childName) ? *child : *y, toCount))
      succeeded = true;
    // An inner node that is not a first child is compared by no parent's level, yet the
    // device list can offer it (the second slot of a card reader): compare it here, as a
    // leaf would be.
    if (!firstOfChain) {
      const std::wstring ownName = GetDeviceName(tree_, *y);
      if (Matches(*y, ownName, name) && EjectForMatch(*y, ownName, toCount)) succeeded = true;
    }
  }
  return succeeded;
}

bool DeviceRemoval::EjectByOwnName(DevNode member, std::wstring_view name,
                                   tag_device_hotkey_info* toCount) {
  return Matches(member, GetDeviceName(tree_, member), name) && EjectAndCount(member, toCount);
}

bool DeviceRemoval::IsStorage(DevNode node, std::wstring_view displayName) {
  return IsUsbMassStorage(tree_, node, displayName, names_);
}

bool DeviceRemoval::Matches(DevNode node, std::wstring_view displayName, std::wstring_view name) {
  if (NameMatches(displayName, name)) return true;
  // The storage description stands for every USB mass-storage device, and on a system of
  // another language no node carries it.
  return names_.IsStorageName(name) && HasMassStorageService(tree_, node);
}

bool DeviceRemoval::NameMatches(std::wstring_view displayName, std::wstring_view name) const {
  return patterns_ ? DeviceNameMatches(displayName, name) : DeviceNamesEqual(displayName, name);
}

bool DeviceRemoval::EjectForMatch(DevNode matched, const std::wstring& matchedName,
                                  tag_device_hotkey_info* toCount) {
  if (IsStorage(matched, matchedName)) return EjectAndCount(matched, toCount);
  const auto parent = GetParentNode(tree_, matched);
  return parent && EjectAndCount(*parent, toCount);
}

std::optional<winvalues::ConfigRet> DeviceRemoval::EjectDevice(DevNode node) {
  if (StopAsked()) return std::nullopt;
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
  // A leaf that is a first child makes two requests of its parent: the user hears of the
  // device once.
  for (const VetoedRequest& earlier : vetoes_)
    if (earlier.node == node) return;
  VetoedRequest vetoed{node, GetDeviceName(tree_, node), std::move(veto), {}};
  // A USB mass-storage node is known to the user by its disk, as the device list offers it.
  if (IsStorage(node, vetoed.deviceName)) {
    if (const auto disk = GetFirstChild(tree_, node)) vetoed.deviceName = GetDeviceName(tree_, *disk);
  }
  // Read now: the node is still present, and the log names what held it by these IDs.
  ForEachNodeAndBelow(tree_, node, [&](DevNode each) {
    std::wstring id;
    if (tree_.GetDeviceInstanceId(each, id) == kCrSuccess) vetoed.instanceIds.push_back(id);
  });
  vetoes_.push_back(std::move(vetoed));
}

bool DeviceRemoval::EjectAndCount(DevNode node, tag_device_hotkey_info* toCount) {
  const std::optional<winvalues::ConfigRet> result = EjectDevice(node);
  if (!result) return false;
  ++tally_.requests;
  if (*result != kCrSuccess) return false;
  ++tally_.successes;
  if (toCount) ++toCount->reject_times;
  return true;
}
