#include "devices/EveryKindRemoval.h"

#include <algorithm>

#include "drives/CardSlots.h"
#include "drives/DiskInterfaces.h"
#include "drives/DriveHolders.h"
#include "drives/HotPlugDisks.h"
#include "pnp/DeviceNames.h"
#include "settings/SettingsRecord.h"

EveryKindRemoval::EveryKindRemoval(DeviceTree& tree, Drives& drives, std::uint32_t deviceKind,
                                   SystemNames names, StorageEjectPreparation& preparation)
    : tree_(tree),
      drives_(drives),
      deviceKind_(deviceKind),
      preparation_(preparation),
      removal_(tree, deviceKind, std::move(names), preparation) {
  removal_.KeepSystemDisks(drives);
}

EveryKindRemoval::EveryKindRemoval(DeviceTree& tree, Drives& drives, const SettingsRecord& settings,
                                   SystemNames names, StorageEjectPreparation& preparation)
    : EveryKindRemoval(tree, drives, settings.m_nDeviceKind, std::move(names), preparation) {
  removal_.KeepOutOfAllStorage(settings.m_aKeptOut);
}

void EveryKindRemoval::StopWhen(const RemovalStop& stop,
                                std::function<void(std::uint32_t ms)> sleep) {
  stop_ = &stop;
  removal_.StopWhen(stop);
  if (!sleep) return;
  lockPause_ = [this, sleep = std::move(sleep)](std::uint32_t ms) {
    if (StopAsked()) return false;
    sleep(ms);
    return !StopAsked();
  };
}

bool EveryKindRemoval::RemoveByName(std::wstring_view name, tag_device_hotkey_info* toCount,
                                    RemovalStartedBy startedBy) {
  patterns_ = startedBy == RemovalStartedBy::CommandLine;
  if (!NamesADisk(name)) return removal_.FindAndEject(name, toCount, startedBy);
  // A slot of a multi-slot reader is also a disk below a USB device: listed as a card,
  // its name must not take the whole reader, nor must a pattern that matches it.
  std::vector<DevNode> slots;
  bool found = EjectCardsNamed(name, toCount, slots);
  if (EjectHotPlugNamed(name, toCount)) found = true;
  removal_.PassOver(std::move(slots));
  if (removal_.FindAndEject(name, toCount, startedBy)) found = true;
  return found;
}

bool EveryKindRemoval::NameMatches(std::wstring_view displayName, std::wstring_view name) const {
  return patterns_ ? DeviceNameMatches(displayName, name) : DeviceNamesEqual(displayName, name);
}

bool EveryKindRemoval::NamesADisk(std::wstring_view name) const {
  if ((deviceKind_ & (kKindCard | kKindHotPlug)) == 0) return false;
  const std::vector<DeviceInterfacePath> disks = tree_.GetDeviceInterfaces(kGuidDevinterfaceDisk);
  return std::any_of(disks.begin(), disks.end(), [&](const DeviceInterfacePath& disk) {
    return NameMatches(GetDeviceName(tree_, disk.node), name);
  });
}

bool EveryKindRemoval::EjectCardsNamed(std::wstring_view name, tag_device_hotkey_info* toCount,
                                       std::vector<DevNode>& named) {
  if ((deviceKind_ & kKindCard) == 0) return false;
  bool found = false;
  for (const CardSlot& slot : FindCardSlots(tree_, drives_)) {
    const std::wstring slotName = GetDeviceName(tree_, slot.disk);
    if (!NameMatches(slotName, name) || !NamedWhilePresent(tree_, slot.disk, slotName)) continue;
    named.push_back(slot.disk);
    if (EjectCard(slot.letter, toCount)) found = true;
  }
  return found;
}

bool EveryKindRemoval::EjectHotPlugNamed(std::wstring_view name, tag_device_hotkey_info* toCount) {
  if ((deviceKind_ & kKindHotPlug) == 0) return false;
  bool found = false;
  for (const HotPlugDisk& disk : FindHotPlugDisks(tree_, drives_)) {
    const std::wstring diskName = GetDeviceName(tree_, disk.disk);
    if (NameMatches(diskName, name) && NamedWhilePresent(tree_, disk.disk, diskName) &&
        removal_.EjectTallied(disk.holder, toCount))
      found = true;
  }
  return found;
}

bool EveryKindRemoval::EjectCard(wchar_t letter, tag_device_hotkey_info* toCount) {
  if (StopAsked() || !HasRemovableMedium(drives_, letter)) return false;
  // Explorer windows on the drive would hold its volume and refuse the lock.
  preparation_.PrepareStorageEject();
  const MediumResult result = EjectMedium(drives_, letter, lockPause_);
  if (result.outcome == MediumOutcome::NoMedium) return false;
  ++cards_.requests;
  if (result.outcome == MediumOutcome::InUse) {
    VetoedRequest inUse;
    inUse.deviceName = CardName(tree_, drives_, letter);
    inUse.veto.type = winvalues::kPnpVetoOutstandingOpen;
    cardsInUse_.push_back(std::move(inUse));
  } else if (result.outcome == MediumOutcome::Failed) {
    cardsRefused_.push_back({CardName(tree_, drives_, letter), result});
  }
  if (result.outcome != MediumOutcome::Ejected) return false;
  ++cards_.successes;
  if (toCount) ++toCount->reject_times;
  return true;
}

bool EveryKindRemoval::RemoveDriveHolders(wchar_t letter) {
  const std::vector<DevNode> holders = FindDriveHolders(tree_, drives_, letter);
  if (holders.empty()) return EjectCard(letter, nullptr);
  bool found = false;
  for (const DevNode holder : holders)
    if (removal_.EjectTallied(holder, nullptr)) found = true;
  return found;
}

bool EveryKindRemoval::RemoveDrivesHolders(const std::vector<wchar_t>& letters) {
  // Every holder is found before the first goes: an ejected device takes its drives,
  // and the storage calls on them, with it.
  std::vector<DevNode> holders;
  for (const wchar_t letter : letters) {
    for (const DevNode holder : FindDriveHolders(tree_, drives_, letter))
      if (std::find(holders.begin(), holders.end(), holder) == holders.end())
        holders.push_back(holder);
  }
  bool found = false;
  for (const DevNode holder : holders)
    if (removal_.EjectTallied(holder, nullptr)) found = true;
  return found;
}

RemovalTally EveryKindRemoval::Tally() const {
  const RemovalTally& devices = removal_.Tally();
  return {devices.requests + cards_.requests, devices.successes + cards_.successes};
}

std::vector<VetoedRequest> EveryKindRemoval::Vetoes() const {
  std::vector<VetoedRequest> vetoes = removal_.Vetoes();
  vetoes.insert(vetoes.end(), cardsInUse_.begin(), cardsInUse_.end());
  return vetoes;
}
