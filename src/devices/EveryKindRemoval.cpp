#include "devices/EveryKindRemoval.h"

#include "drives/CardSlots.h"
#include "drives/DriveHolders.h"
#include "drives/HotPlugDisks.h"
#include "drives/MediumEjection.h"
#include "pnp/DeviceNames.h"
#include "settings/SettingsRecord.h"

EveryKindRemoval::EveryKindRemoval(DeviceRemoval& removal, DeviceTree& tree, Drives& storage,
                                   std::uint32_t deviceKind, StorageEjectPreparation& preparation)
    : removal_(removal),
      tree_(tree),
      storage_(storage),
      deviceKind_(deviceKind),
      preparation_(preparation) {}

bool EveryKindRemoval::RemoveByName(std::wstring_view name, tag_device_hotkey_info* toCount,
                                    RemovalStartedBy startedBy) {
  // A slot of a multi-slot reader is also a disk below a USB device: listed as a card,
  // its name must not take the whole reader.
  bool named = false;
  bool found = EjectCardsNamed(name, toCount, named);
  if (named) return found;
  found = EjectHotPlugNamed(name, toCount, named);
  if (named) return found;
  return removal_.FindAndEject(name, toCount, startedBy);
}

bool EveryKindRemoval::EjectCardsNamed(std::wstring_view name, tag_device_hotkey_info* toCount,
                                       bool& named) {
  if ((deviceKind_ & kKindCard) == 0) return false;
  bool found = false;
  for (const CardSlot& slot : FindCardSlots(tree_, storage_)) {
    if (!DeviceNamesEqual(GetDeviceName(tree_, slot.disk), name)) continue;
    named = true;
    if (EjectCard(slot.letter, toCount)) found = true;
  }
  return found;
}

bool EveryKindRemoval::EjectHotPlugNamed(std::wstring_view name, tag_device_hotkey_info* toCount,
                                         bool& named) {
  if ((deviceKind_ & kKindHotPlug) == 0) return false;
  bool found = false;
  for (const HotPlugDisk& disk : FindHotPlugDisks(tree_, storage_)) {
    if (!DeviceNamesEqual(GetDeviceName(tree_, disk.disk), name)) continue;
    named = true;
    if (removal_.EjectTallied(disk.holder, toCount)) found = true;
  }
  return found;
}

bool EveryKindRemoval::EjectCard(wchar_t letter, tag_device_hotkey_info* toCount) {
  if (!HasRemovableMedium(storage_, letter)) return false;
  // Explorer windows on the drive would hold its volume and refuse the lock.
  preparation_.PrepareStorageEject();
  const MediumOutcome outcome = EjectMedium(storage_, letter);
  if (outcome == MediumOutcome::NoMedium) return false;
  ++cards_.requests;
  if (outcome == MediumOutcome::InUse) {
    const std::vector<DevNode> disks = FindDriveDevices(tree_, storage_, letter);
    const std::wstring drive{letter, L':'};
    VetoedRequest inUse;
    inUse.deviceName =
        disks.empty() ? drive : GetDeviceName(tree_, disks.front()) + L" (" + drive + L")";
    inUse.veto.type = winvalues::kPnpVetoOutstandingOpen;
    cardsInUse_.push_back(std::move(inUse));
  }
  if (outcome != MediumOutcome::Ejected) return false;
  ++cards_.successes;
  if (toCount) ++toCount->reject_times;
  return true;
}

bool EveryKindRemoval::RemoveDriveHolders(wchar_t letter) {
  bool found = false;
  bool held = false;
  for (const DevNode holder : FindDriveHolders(tree_, storage_, letter)) {
    held = true;
    if (!HoldsSystemDisk(tree_, storage_, holder) && removal_.EjectTallied(holder, nullptr))
      found = true;
  }
  if (!held) found = EjectCard(letter, nullptr);
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
