// The device tree file and the two walks over it: any text the parser accepts gives a
// well-formed tree, and every device that the device list offers is found again by the
// removal of its name when every eject request succeeds.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "FuzzSupport.h"
#include "SimulatedDeviceTree.h"
#include "SimulatedTreeFile.h"
#include "devices/DeviceEnumeration.h"
#include "devices/DeviceRemoval.h"
#include "devices/OfferedDevices.h"
#include "pnp/SystemNames.h"
#include "settings/SettingsRecord.h"

namespace {

// Before and after Vista, mass-storage nodes are described differently; the walks treat
// nodes of that description apart.
constexpr unsigned kMajorVersions[] = {5, 6};

constexpr std::uint32_t kEveryKind = kKindUsb | kKindPcmcia | kKind1394 | kKindUsbHid | kKindNet;

class NoPreparation final : public StorageEjectPreparation {
 public:
  void PrepareStorageEject() override {}
};

std::wstring NodeText(std::size_t index) { return L"node " + std::to_wstring(index); }

// What ejecting a node relies on: the nodes below any node are the ones right after it
// that lie deeper, and the links say the same as the depths.
void ExpectWellFormed(const SimulatedTree& tree) {
  const std::vector<SimulatedNode>& nodes = tree.nodes;
  FUZZ_EXPECT(!nodes.empty() && nodes[0].depth == -1, L"root");
  std::vector<int> children(nodes.size(), 0);
  for (std::size_t i = 1; i < nodes.size(); ++i) {
    const SimulatedNode& node = nodes[i];
    FUZZ_EXPECT(node.depth >= 0 && node.depth < kMaxSimulatedDepth, NodeText(i));
    FUZZ_EXPECT(node.line > nodes[i - 1].line, NodeText(i));
    FUZZ_EXPECT(node.parent >= 0 && static_cast<std::size_t>(node.parent) < i &&
                    nodes[static_cast<std::size_t>(node.parent)].depth == node.depth - 1,
                NodeText(i));
    ++children[static_cast<std::size_t>(node.parent)];
  }
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    const SimulatedNode& node = nodes[i];
    const bool deeperFollows = i + 1 < nodes.size() && nodes[i + 1].depth > node.depth;
    FUZZ_EXPECT(deeperFollows == (node.firstChild >= 0), NodeText(i));
    FUZZ_EXPECT(node.firstChild < 0 || static_cast<std::size_t>(node.firstChild) == i + 1,
                NodeText(i));
    int linked = 0;
    for (int child = node.firstChild; child >= 0;
         child = nodes[static_cast<std::size_t>(child)].nextSibling) {
      FUZZ_EXPECT(nodes[static_cast<std::size_t>(child)].parent == static_cast<int>(i),
                  NodeText(i));
      ++linked;
    }
    FUZZ_EXPECT(linked == children[i], NodeText(i));
  }
}

// The walks are under test, not the devices' answers: every request succeeds, at once.
SimulatedTree WithEveryEjectSucceeding(SimulatedTree tree) {
  for (std::size_t i = 1; i < tree.nodes.size(); ++i) {
    tree.nodes[i].eject = SimulatedEject::Ok;
    tree.nodes[i].delayMs = 0;
    // A program that holds a node vetoes its removal as surely as eject=veto does.
    tree.nodes[i].vetoer.reset();
    tree.nodes[i].vetoerPid.reset();
  }
  return tree;
}

void ExpectOfferedNamesRemovable(const SimulatedTree& tree, unsigned majorVersion) {
  const SystemNames names = SystemNamesFor(majorVersion);
  // What is offered, not the raw deliveries: the storage description and the generic
  // hub are dropped, and each name is offered once.
  OfferedDevices offered(names);
  SimulatedDeviceTree listed(tree);
  DeviceEnumeration(listed, kEveryKind, names, nullptr, offered).EnumerateDevices(false);

  // No offered node is exempt: the removal compares inner nodes that are not the first
  // of their chain as well (a card reader's second slot), which the list can offer.
  NoPreparation preparation;
  for (std::size_t index = 0; index < offered.Count(); ++index) {
    // The all-storage entry names no node; its removal looks for the storage description.
    if (offered.IsAllStorageEntry(index)) continue;
    // A fresh tree each time: a successful eject takes the node and its branch away.
    SimulatedDeviceTree live(tree);
    DeviceRemoval removal(live, kEveryKind, names, preparation);
    tag_device_hotkey_info registration = offered.At(index);
    const std::wstring& name = registration.name;
    const std::int32_t before = registration.reject_times;
    const bool found = removal.FindAndEject(name, &registration, RemovalStartedBy::Hotkey);
    FUZZ_EXPECT(found, name);
    FUZZ_EXPECT(registration.reject_times > before, name);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  SimulatedTreeParse parsed =
      ParseSimulatedTree(std::string_view(reinterpret_cast<const char*>(data), size));
  ExpectWellFormed(parsed.tree);
  if (parsed.fault) {
    FUZZ_EXPECT(parsed.tree.nodes.size() == 1, L"a refused file gives the bare root");
    return 0;
  }
  const SimulatedTree tree = WithEveryEjectSucceeding(std::move(parsed.tree));
  for (const unsigned majorVersion : kMajorVersions)
    ExpectOfferedNamesRemovable(tree, majorVersion);
  return 0;
}
