// A removal over every kind, as the user knows the devices from the list: the name of a
// card slot takes that slot's card only, the name of a hot-plug disk takes its device,
// and any other name goes to the class sweep. The hotkey, the eject menu and the command
// line all remove through here, so that a name or a pattern removes what the list
// offered under it, and "/whatif" walks the very removal that would run.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "devices/DeviceRemoval.h"
#include "drives/Drives.h"
#include "drives/MediumEjection.h"
#include "settings/SettingsRecord.h"

// A card that was asked to come out and did not, for reasons other than open files
// (those are vetoes, told with their holder).
struct CardRefusal {
  std::wstring deviceName;  // the slot's disk and drive, "SD Card (H:)"
  MediumResult result;
  bool operator==(const CardRefusal&) const = default;
};

class EveryKindRemoval {
 public:
  // `deviceKind` is the global DEVICE_KIND. No device that holds a disk Windows must keep
  // is ever asked for.
  EveryKindRemoval(DeviceTree& tree, Drives& drives, std::uint32_t deviceKind, SystemNames names,
                   StorageEjectPreparation& preparation);
  // The kinds of `settings`, and its kept-out devices passed over by the all-storage entry.
  EveryKindRemoval(DeviceTree& tree, Drives& drives, const SettingsRecord& settings,
                   SystemNames names, StorageEjectPreparation& preparation);

  // From now on, `stop` is asked before each request and ends the lock's retries, which
  // wait through `sleep` (none: a refused lock is not tried again). `stop` must outlive
  // this object.
  void StopWhen(const RemovalStop& stop, std::function<void(std::uint32_t ms)> sleep);

  // True when anything was removed; each success counts to `toCount`. From the command
  // line `name` may be a pattern, which takes each kind as its whole name would.
  bool RemoveByName(std::wstring_view name, tag_device_hotkey_info* toCount,
                    RemovalStartedBy startedBy);

  // The card in drive `letter`, never the reader that holds it.
  bool EjectCard(wchar_t letter, tag_device_hotkey_info* toCount);

  // The removable devices that hold drive `letter`, each once; where none does and its
  // medium comes out (a reader inside the case), its card.
  bool RemoveDriveHolders(wchar_t letter);

  // The devices that hold any of `letters`, each once however many of them it holds; a
  // card in a reader goes with its reader here.
  bool RemoveDrivesHolders(const std::vector<wchar_t>& letters);

  // The requests of the device removal and of the cards together.
  RemovalTally Tally() const;
  // The device removal's vetoes, then each card whose volume was in use.
  std::vector<VetoedRequest> Vetoes() const;
  const std::vector<CardRefusal>& CardRefusals() const { return cardsRefused_; }

 private:
  // Whether a disk carries a name that `name` matches: only then are the drives read,
  // which may wake a sleeping disk and takes a while.
  bool NamesADisk(std::wstring_view name) const;
  bool EjectCardsNamed(std::wstring_view name, tag_device_hotkey_info* toCount,
                       std::vector<DevNode>& named);
  bool EjectHotPlugNamed(std::wstring_view name, tag_device_hotkey_info* toCount);
  bool NameMatches(std::wstring_view displayName, std::wstring_view name) const;
  bool StopAsked() const { return stop_ != nullptr && stop_->StopAsked(); }

  DeviceTree& tree_;
  Drives& drives_;
  std::uint32_t deviceKind_;
  StorageEjectPreparation& preparation_;
  DeviceRemoval removal_;
  const RemovalStop* stop_ = nullptr;
  LockRetryPause lockPause_;
  bool patterns_ = false;
  RemovalTally cards_;
  std::vector<VetoedRequest> cardsInUse_;
  std::vector<CardRefusal> cardsRefused_;
};
