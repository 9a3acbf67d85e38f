// A removal over every kind, as the user knows the devices from the list: the name of a
// card slot takes that slot's card only, the name of a hot-plug disk takes its device,
// and any other name goes to the class sweep. The hotkey, the eject menu and the command
// line all remove through here, so that a name removes what the list offered under it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "devices/DeviceRemoval.h"
#include "drives/Drives.h"

class EveryKindRemoval {
 public:
  // `removal` makes the eject requests; `deviceKind` is the DEVICE_KIND it sweeps.
  EveryKindRemoval(DeviceRemoval& removal, DeviceTree& tree, Drives& storage,
                   std::uint32_t deviceKind, StorageEjectPreparation& preparation);

  // True when anything was removed; each success counts to `toCount`.
  bool RemoveByName(std::wstring_view name, tag_device_hotkey_info* toCount,
                    RemovalStartedBy startedBy);

  // The card in drive `letter`, never the reader that holds it.
  bool EjectCard(wchar_t letter, tag_device_hotkey_info* toCount);

  // The removable devices that hold drive `letter`, each once; where none does and its
  // medium comes out (a reader inside the case), its card. A device that holds a disk
  // Windows must keep is never asked for.
  bool RemoveDriveHolders(wchar_t letter);

  // The requests of the device removal and of the cards together.
  RemovalTally Tally() const;
  // The device removal's vetoes, then each card whose volume was in use.
  std::vector<VetoedRequest> Vetoes() const;

 private:
  bool EjectCardsNamed(std::wstring_view name, tag_device_hotkey_info* toCount, bool& named);
  bool EjectHotPlugNamed(std::wstring_view name, tag_device_hotkey_info* toCount, bool& named);

  DeviceRemoval& removal_;
  DeviceTree& tree_;
  Drives& storage_;
  std::uint32_t deviceKind_;
  StorageEjectPreparation& preparation_;
  RemovalTally cards_;
  std::vector<VetoedRequest> cardsInUse_;
};
