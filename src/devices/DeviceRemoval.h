// The removal request: finds every node that carries a display name in the live tree
// and asks the Configuration Manager to eject the right node for each.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "devices/RemovalStop.h"
#include "devices/RemovalTally.h"
#include "devices/StorageEjectPreparation.h"
#include "devices/VetoHolder.h"
#include "devices/VetoedRequest.h"
#include "drives/Drives.h"
#include "pnp/DeviceTree.h"
#include "pnp/SystemNames.h"
#include "settings/DeviceHotkeyInfo.h"

// The DEVICEDESC buffer of the storage test before an eject, in UTF-16 units.
inline constexpr std::size_t kStorageTestBufferUnits = 260;

using VetoHolderFinder = std::function<std::optional<VetoHolder>(const VetoedRequest&)>;

// Who holds each vetoed device, asked of `find` (may be empty) while the removal is still
// under way, so that a stop asked meanwhile (`stop` may be null) ends the looking.
void FindVetoHolders(std::vector<VetoedRequest>& vetoes, const VetoHolderFinder& find,
                     const RemovalStop* stop);

// Where the removal was started: a hotkey (or the eject menu) sweeps USB only when
// DEVICE_KIND selects it; the command line always does.
enum class RemovalStartedBy { Hotkey, CommandLine };

class DeviceRemoval {
 public:
  // `deviceKind` is the global DEVICE_KIND; `names` tell which nodes are USB mass storage.
  DeviceRemoval(DeviceTree& tree, std::uint32_t deviceKind, SystemNames names,
                StorageEjectPreparation& preparation);

  // Ejects every match of `name`; each eject that succeeds adds 1 to the removal count of
  // `toCount` when there is one. True when at least one eject succeeded.
  bool FindAndEject(std::wstring_view name, tag_device_hotkey_info* toCount,
                    RemovalStartedBy startedBy);

  // The walk over `node` and its later siblings and everything below them.
  bool EjectMatches(DevNode node, std::wstring_view name, tag_device_hotkey_info* toCount);

  // The eject request itself, preceded by the storage preparation when the node is
  // described as a USB mass-storage device. Nothing is asked of the system once a stop
  // is asked, and then there is no result.
  std::optional<winvalues::ConfigRet> EjectDevice(DevNode node);

  // EjectDevice, tallied, and counted to `toCount` on success. A node whose request this
  // removal already saw refused is not asked again: a refusal takes seconds and writes
  // an event each time, and the answer would not change.
  bool EjectTallied(DevNode node, tag_device_hotkey_info* toCount);

  // From now on no node that holds a disk Windows must keep is asked for, whatever its
  // name; `drives` must outlive this object.
  void KeepSystemDisks(Drives& drives) { drives_ = &drives; }

  // Nodes that another kind of removal took care of (a card slot, whose card alone comes
  // out): the sweep matches none of them, so their names do not take their parents.
  void PassOver(std::vector<DevNode> nodes) { passedOver_ = std::move(nodes); }

  // From now on, `stop` is asked before each eject request and each preparation; it
  // must outlive this object.
  void StopWhen(const RemovalStop& stop) { stop_ = &stop; }

  // Devices the all-storage entry passes over, by the names the device list shows them
  // under; their own names still remove them.
  void KeepOutOfAllStorage(std::vector<std::wstring> names) { keptOut_ = std::move(names); }

  // Every request made by this object so far.
  const RemovalTally& Tally() const { return tally_; }
  // The devices whose requests were vetoed, each once, in the order they were made.
  const std::vector<VetoedRequest>& Vetoes() const { return vetoes_; }

 private:
  void SweepUsbMember(DevNode member, std::wstring_view name, tag_device_hotkey_info* toCount,
                      bool& found);
  void SweepOtherMember(DevNode member, std::wstring_view name, tag_device_hotkey_info* toCount,
                        bool& found);
  // What a name matched on a node's first child ejects: the child or the node.
  DevNode EjectedForMatchedChild(DevNode child, std::wstring_view childName, DevNode parent);
  // A leaf (or later inner sibling) that matched: the node itself is ejected when it is a
  // storage device, else its parent (none: nothing is ejected).
  bool EjectForMatchedLeaf(DevNode matched, const std::wstring& matchedName,
                           tag_device_hotkey_info* toCount);
  // A class member without children is compared by its own name and ejected itself.
  bool EjectChildlessMember(DevNode member, std::wstring_view name,
                            tag_device_hotkey_info* toCount);
  // USB mass storage, told by the node's service or by `displayName`.
  bool IsStorage(DevNode node, std::wstring_view displayName);
  // Whether a node answers to the name looked for.
  bool Matches(DevNode node, std::wstring_view displayName, std::wstring_view name);
  // Names typed on the command line may be patterns; stored registrations never are.
  bool NameMatches(std::wstring_view displayName, std::wstring_view name) const;
  bool StopAsked() const { return stop_ != nullptr && stop_->StopAsked(); }
  void RecordVeto(DevNode node, EjectVeto veto);

  DeviceTree& tree_;
  std::uint32_t deviceKind_;
  SystemNames names_;
  StorageEjectPreparation& preparation_;
  RemovalTally tally_;
  std::vector<VetoedRequest> vetoes_;
  std::vector<DevNode> refused_;
  const RemovalStop* stop_ = nullptr;
  Drives* drives_ = nullptr;
  std::vector<DevNode> passedOver_;
  bool patterns_ = false;
  std::vector<std::wstring> keptOut_;
  bool allStorage_ = false;  // the sweep under way is the all-storage entry's
};
