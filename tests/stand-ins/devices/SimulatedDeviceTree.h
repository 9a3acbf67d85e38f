// A device tree read from a tree file instead of the Configuration Manager, so that the
// program can be run and tested without removable hardware. Node handles are the
// nodes' line numbers; the root, which the file does not name, is 0.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pnp/DeviceTree.h"
#include "FileBytes.h"
#include "SharedEjections.h"
#include "SimulatedNodeState.h"
#include "SimulatedTreeFile.h"
#include "devices/VetoHolder.h"

class SimulatedDeviceTree : public DeviceTree {
 public:
  // Reads `file` now, and again at the next listing or removal whenever its time or size
  // has changed. A file that cannot be read or parsed gives an empty tree and one line
  // on standard error. Each eject request appends a line to `ejectLog` when given:
  // line number, tab, result in decimal, tab, display name (UTF-8). Ejected nodes are
  // recorded beside the file (SharedEjections), so that they stay gone for every tree
  // read from the same file until the file changes.
  SimulatedDeviceTree(NativePath file, std::optional<NativePath> ejectLog);

  // A tree held in memory only.
  explicit SimulatedDeviceTree(SimulatedTree tree);

  winvalues::ConfigRet GetChild(DevNode& child, DevNode node) override;
  winvalues::ConfigRet GetSibling(DevNode& sibling, DevNode node) override;
  winvalues::ConfigRet GetParent(DevNode& parent, DevNode node) override;
  winvalues::ConfigRet GetDevNodeStatus(std::uint32_t& status, std::uint32_t& problem,
                                        DevNode node) override;
  winvalues::ConfigRet GetRegistryProperty(DevNode node, DeviceProperty property,
                                           std::size_t bufferUnits, std::wstring& text) override;
  std::unique_ptr<PresentDeviceSet> GetPresentDevices(const SetupClassGuid& classGuid) override;
  std::unique_ptr<PresentDeviceSet> GetAllPresentDevices() override;
  // Off Windows there is no class image list: known classes get their own small index.
  bool GetClassImageIndex(const ClassImageList* imageList, std::wstring_view guidText,
                          int& index) override;
  // The request without a veto buffer, as the stand-in DLL and the tests make it.
  winvalues::ConfigRet RequestDeviceEject(DevNode node);
  // A veto names the instance ID of the node that holds the device: the node itself
  // (eject=veto), or the node below it that a vetoer holds, which also writes an event
  // 225 to the System log beside the tree file.
  winvalues::ConfigRet RequestDeviceEjectTellingVeto(DevNode node, EjectVeto& veto) override;
  winvalues::ConfigRet GetDeviceInstanceId(DevNode node, std::wstring& id) override {
    return DeviceId(node, id);
  }
  // A node's disk= gives it a disk interface, cdrom= a CD-ROM one.
  std::vector<DeviceInterfacePath> GetDeviceInterfaces(const SetupClassGuid& interfaceClass) override;

  // The two halves of RequestDeviceEject, for a caller that must not hold its lock
  // while the device takes its time: how long the request for `node` lasts (0 for a
  // node that is not present), and the request itself, answered at once.
  std::uint32_t EjectDelayOf(DevNode node);
  winvalues::ConfigRet RequestDeviceEjectAtOnce(DevNode node);
  winvalues::ConfigRet RequestDeviceEjectAtOnce(DevNode node, EjectVeto& veto);

  // The events 225 this tree has written, oldest first (also those of a tree in memory).
  const std::vector<VetoEvent>& WrittenVetoEvents() const { return vetoEvents_; }

  // The whole value of a property, however long: CR_NO_SUCH_VALUE when the node lacks
  // it, CR_NO_SUCH_DEVNODE when the node is not present.
  winvalues::ConfigRet PropertyValue(DevNode node, DeviceProperty property, std::wstring& value);

  // What Windows keeps for every node that the seam does not carry, by CM_DRP_* number
  // (capabilities, removal policy, enumerator, address, location; SimulatedNodeState.h):
  // CR_NO_SUCH_VALUE for any other number and for an address or location the file does
  // not give, CR_NO_SUCH_DEVNODE when the node is not present.
  winvalues::ConfigRet SystemProperty(DevNode node, std::uint32_t cmDrp, SimulatedValue& value);

  // The device instance ID as CM_Get_Device_ID gives it, upper case: the file's, else one
  // of the stand-in's own; the root's is the system's HTREE\ROOT\0. CR_NO_SUCH_DEVNODE
  // when the node is not present.
  winvalues::ConfigRet DeviceId(DevNode node, std::wstring& id);

  // The present node with instance ID `id` (any case); the root for an empty ID.
  winvalues::ConfigRet LocateNode(std::wstring_view id, DevNode& node);

  // The instance IDs of the node's present removal relations, and of its present children
  // (its bus relations), in file order and in the case the file writes them: Windows
  // keeps the bus driver's case there (and in event 225), not the upper case of
  // CM_Get_Device_ID.
  winvalues::ConfigRet RemovalRelations(DevNode node, std::vector<std::wstring>& ids);
  winvalues::ConfigRet BusRelations(DevNode node, std::vector<std::wstring>& ids);

  // Every node the tree has ever held (ejected ones included, as the system keeps the
  // instance keys of devices that are gone), the root first; or those of one service.
  std::vector<std::wstring> AllIds();
  std::vector<std::wstring> IdsOfService(std::wstring_view service);

  // The node's class, as CM_DRP_CLASSGUID names it; nothing for an unknown class word.
  std::optional<SetupClassGuid> ClassOf(DevNode node) const;

  // Every present node, in file order, whatever its class.
  std::vector<DevNode> PresentNodes();

  // A device unplugged while a program walks the tree: once `calls` more calls have
  // looked at it, each node of `nodes` is gone with everything below it. Every call that
  // asks about a node, lists nodes or asks for an eject counts (an eject counts thrice).
  void VanishAfter(std::size_t calls, std::vector<DevNode> nodes);
  // The calls counted so far, to know where the faults of a walk can fall.
  std::size_t CountedCalls() const { return calls_; }

 private:
  void ReloadIfChanged();
  void CountCall();
  void Load(bool readable);
  void Adopt(SimulatedTree tree);

  // -1 for a handle that names no node.
  int IndexOf(DevNode node) const;
  // -1 as well when the node has been ejected. Counts as a call.
  int PresentIndexOf(DevNode node);
  // The first present node among `index` and its later siblings.
  int FirstPresentFrom(int index) const;
  // CR_SUCCESS with the handle of node `found`; CR_NO_SUCH_DEVNODE for -1.
  winvalues::ConfigRet AnswerNode(int found, DevNode& answer) const;
  void Vanish(int index);
  void ApplySharedEjections();
  std::optional<std::wstring> PropertyOf(const SimulatedNode& node, DeviceProperty property) const;
  winvalues::ConfigRet ReadProperty(const SimulatedNode& node, DeviceProperty property,
                                    std::size_t bufferUnits, std::wstring& text) const;
  void AppendToEjectLog(int line, winvalues::ConfigRet result, const std::wstring& name) const;
  std::wstring IdOf(int index) const;             // as the file writes it
  std::wstring InstancePathOf(int index) const;   // as the Configuration Manager hands it out
  // The first present node at `index` or below it that a vetoer holds; -1 for none.
  int HolderAtOrBelow(int index) const;
  void WriteVetoEvent(int holder);
  // -1 when no present node has the ID.
  int PresentIndexOfId(std::wstring_view id) const;
  std::uint32_t RemovalPolicyOf(int index) const;  // CM_REMOVAL_POLICY_*

  std::optional<NativePath> file_;
  std::optional<NativePath> ejectLog_;
  bool loaded_ = false;
  std::optional<FileStamp> loadedStamp_;  // nothing: the file could not be looked at
  SimulatedTree tree_;
  std::vector<int> indexOfLine_;
  std::vector<std::optional<SetupClassGuid>> classOf_;
  std::vector<bool> vanished_;
  std::optional<SharedEjections> shared_;
  std::optional<FileStamp> appliedRecord_;  // the shared record as last applied
  std::vector<VetoEvent> vetoEvents_;
  std::size_t calls_ = 0;
  std::size_t vanishAt_ = 0;
  std::vector<DevNode> vanishing_;
};
