// What the device stand-in serves beside names for the nodes of the machine files: the
// status word, capabilities, removal policy and enumerator that Windows gives a started
// node, and so which nodes Windows' Safely Remove Hardware shows.
#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "SimulatedNodeState.h"
#include "fakes/MachineFiles.h"

namespace {

using namespace simulated_state;
using winvalues::kCrSuccess;

const char* const kMachineFiles[] = {"windows-xp-ja.tree", "windows-xp-laptop-en.tree",
                                     "windows10-en.tree", "windows10-ja.tree",
                                     "windows11-laptop-en.tree", "windows11-dock-en.tree"};

SimulatedDeviceTree TreeOf(const std::string& text) {
  SimulatedTreeParse parsed = ParseSimulatedTree(text);
  EXPECT_FALSE(parsed.fault.has_value());
  return SimulatedDeviceTree(std::move(parsed.tree));
}

SimulatedValue Property(SimulatedDeviceTree& tree, DevNode node, std::uint32_t drp) {
  SimulatedValue value;
  EXPECT_EQ(tree.SystemProperty(node, drp, value), kCrSuccess) << node << " " << drp;
  return value;
}

std::uint32_t Number(SimulatedDeviceTree& tree, DevNode node, std::uint32_t drp) {
  const SimulatedValue value = Property(tree, node, drp);
  return std::holds_alternative<std::uint32_t>(value) ? std::get<std::uint32_t>(value) : ~0u;
}

// "If Removable is TRUE, the device is displayed in the Safely Remove Hardware applet unless
// SurpriseRemovalOK is also set", and the nodes below it are shown as its components
// (Microsoft, "Removal Policy for a Device").
bool ShownBySafelyRemove(SimulatedDeviceTree& tree, DevNode node) {
  if ((Number(tree, node, kDrpCapabilities) & kCapSurpriseRemovalOk) != 0) return false;
  for (DevNode at = node, parent = 0;; at = parent) {
    if ((Number(tree, at, kDrpCapabilities) & kCapRemovable) != 0) return true;
    if (tree.GetParent(parent, at) != kCrSuccess) return false;
  }
}

constexpr std::uint32_t kStartedRemovable = 0x0180600A;  // a USB stick's, as Windows reports it
constexpr std::uint32_t kStarted = 0x0180000A;

struct NodeCase {
  const char* file;
  const wchar_t* piece;  // of the node's instance ID
  std::uint32_t status;
  std::uint32_t capabilities;
  std::uint32_t policy;
  const wchar_t* enumerator;
  bool shown;
};

const NodeCase kNodeCases[] = {
    // A USB stick and its disk; a UAS drive; the internal disk.
    {"windows10-en.tree", L"USB\\VID_0781&PID_5581\\", kStartedRemovable, kCapRemovable,
     kPolicyExpectSurpriseRemoval, L"USB", true},
    {"windows10-en.tree", L"USBSTOR\\DISK&VEN_SANDISK&PROD_ULTRA", kStarted, 0,
     kPolicyExpectSurpriseRemoval, L"USBSTOR", true},
    {"windows10-ja.tree", L"USB\\VID_0781&PID_558C\\", kStartedRemovable, kCapRemovable,
     kPolicyExpectSurpriseRemoval, L"USB", true},
    {"windows10-en.tree", L"SCSI\\DISK&VEN_SAMSUNG&PROD_SSD", kStarted, 0, kPolicyExpectNoRemoval,
     L"SCSI", false},
    // A stick without a serial; a USB network adapter, which NDIS never lets be pulled
    // unannounced; the card in a reader built into the case; a Thunderbolt enclosure, PCI
    // Express, so removed in order, and its disk.
    {"windows11-laptop-en.tree", L"USB\\VID_0930&PID_6545\\", kStartedRemovable, kCapRemovable,
     kPolicyExpectSurpriseRemoval, L"USB", true},
    {"windows11-laptop-en.tree", L"USB\\VID_0B95&PID_1790\\", kStartedRemovable, kCapRemovable,
     kPolicyExpectSurpriseRemoval, L"USB", true},
    {"windows11-laptop-en.tree", L"PCISTOR\\DISK", kStarted, 0, kPolicyExpectNoRemoval,
     L"PCISTOR", false},
    {"windows11-laptop-en.tree", L"PCI\\VEN_8086&DEV_15EF&SUBSYS_00000000&REV_06\\4&",
     kStartedRemovable, kCapRemovable, kPolicyExpectOrderlyRemoval, L"PCI", true},
    {"windows11-laptop-en.tree", L"SCSI\\DISK&VEN_NVME&PROD_SAMSUNG_SSD_950", kStarted, 0,
     kPolicyExpectOrderlyRemoval, L"SCSI", true},
    // A stick on the enclosure's own USB controller; a phone in MTP mode; an eSATA disk,
    // removable itself; a dock's Ethernet adapter; a card in the inbox SD host's slot.
    {"windows11-laptop-en.tree", L"USB\\VID_0781&PID_5583\\", kStartedRemovable, kCapRemovable,
     kPolicyExpectSurpriseRemoval, L"USB", true},
    {"windows11-laptop-en.tree", L"USB\\VID_18D1&PID_4EE1\\", kStartedRemovable, kCapRemovable,
     kPolicyExpectSurpriseRemoval, L"USB", true},
    {"windows10-en.tree", L"SCSI\\DISK&VEN_HGST", kStartedRemovable, kCapRemovable,
     kPolicyExpectOrderlyRemoval, L"SCSI", true},
    {"windows11-dock-en.tree", L"USB\\VID_0BDA&PID_8153\\", kStartedRemovable, kCapRemovable,
     kPolicyExpectSurpriseRemoval, L"USB", true},
    {"windows11-dock-en.tree", L"SD\\VID_03", kStarted, 0, kPolicyExpectNoRemoval, L"SD", false},
    // XP: a U3 stick's removable medium; a PC Card; a 1394 unit and its CD-ROM drive; the
    // virtual 1394 network adapters of a CardBus card's controller and of one that stays.
    {"windows-xp-ja.tree", L"USB\\VID_0781&PID_5406\\", kStartedRemovable, kCapRemovable,
     kPolicyExpectSurpriseRemoval, L"USB", true},
    {"windows-xp-ja.tree", L"STORAGE\\REMOVABLEMEDIA\\7&2B8C8F4", kStarted, 0, kPolicyExpectSurpriseRemoval,
     L"STORAGE", true},
    {"windows-xp-laptop-en.tree", L"PCMCIA\\MEGAHERTZ", kStartedRemovable, kCapRemovable,
     kPolicyExpectSurpriseRemoval, L"PCMCIA", true},
    {"windows-xp-laptop-en.tree", L"1394\\OXFORD", kStartedRemovable, kCapRemovable,
     kPolicyExpectSurpriseRemoval, L"1394", true},
    {"windows-xp-laptop-en.tree", L"SBP2\\OXFORD", kStarted, 0, kPolicyExpectSurpriseRemoval,
     L"SBP2", true},
    {"windows-xp-laptop-en.tree", L"V1394\\NIC1394\\A2C", kStarted, 0,
     kPolicyExpectSurpriseRemoval, L"V1394", true},
    {"windows-xp-laptop-en.tree", L"V1394\\NIC1394\\5C2", kStarted, 0, kPolicyExpectNoRemoval,
     L"V1394", false},
};

TEST(SafeRemovalShapes, EachKindOfNodeAnswersAsWindowsDoes) {
  for (const NodeCase& row : kNodeCases) {
    SCOPED_TRACE(testing::Message() << row.file << " " << testing::PrintToString(row.piece));
    SimulatedDeviceTree tree = TreeOf(MachineText(row.file));
    DevNode node = 0;
    ASSERT_EQ(tree.LocateNode(IdHolding(tree, row.piece), node), kCrSuccess);
    std::uint32_t status = 0;
    std::uint32_t problem = 0;
    ASSERT_EQ(tree.GetDevNodeStatus(status, problem, node), kCrSuccess);
    EXPECT_EQ(status, row.status);
    EXPECT_EQ(Number(tree, node, kDrpCapabilities), row.capabilities);
    EXPECT_EQ(Number(tree, node, kDrpRemovalPolicy), row.policy);
    EXPECT_EQ(Property(tree, node, kDrpEnumeratorName), SimulatedValue(row.enumerator));
    EXPECT_EQ(ShownBySafelyRemove(tree, node), row.shown);
  }
}

// Whatever the node, the status, capabilities and policy agree with each other as they do
// on Windows: DN_REMOVABLE mirrors the capability, a node is started unless it has a
// problem, and no node that Safely Remove Hardware shows expects never to be removed.
TEST(SafeRemovalShapes, EveryMachineNodeIsConsistent) {
  for (const char* file : kMachineFiles) {
    SimulatedDeviceTree tree = TreeOf(MachineText(file));
    for (const DevNode node : tree.PresentNodes()) {
      SCOPED_TRACE(testing::Message() << file << " line " << node);
      std::uint32_t status = 0;
      std::uint32_t problem = 0;
      ASSERT_EQ(tree.GetDevNodeStatus(status, problem, node), kCrSuccess);
      const std::uint32_t capabilities = Number(tree, node, kDrpCapabilities);
      EXPECT_EQ((status & winvalues::kDnRemovable) != 0, (capabilities & kCapRemovable) != 0);
      EXPECT_EQ((status & kDnStarted) != 0, (status & winvalues::kDnHasProblem) == 0);
      EXPECT_EQ(ShownBySafelyRemove(tree, node),
                Number(tree, node, kDrpRemovalPolicy) != kPolicyExpectNoRemoval);
    }
  }
}

// The file can say what a driver or bus reports otherwise; address and location exist only
// where it gives them.
TEST(SafeRemovalShapes, AttributesOverrideWhatWindowsDerives) {
  SimulatedDeviceTree tree = TreeOf(
      "usb id=\"USB\\\\VID_1&PID_2\\\\3\" removable surprise-ok eject-supported address=4 "
      "location=\"Port_#0004.Hub_#0001\"\n"
      "  diskdrive id=\"USBSTOR\\\\DISK\\\\3&0\" policy=orderly\n");
  EXPECT_EQ(Number(tree, 1, kDrpCapabilities),
            kCapRemovable | kCapSurpriseRemovalOk | kCapEjectSupported);
  EXPECT_FALSE(ShownBySafelyRemove(tree, 1));
  EXPECT_EQ(Number(tree, 2, kDrpRemovalPolicy), kPolicyExpectOrderlyRemoval);
  EXPECT_EQ(Number(tree, 1, kDrpAddress), 4u);
  EXPECT_EQ(Property(tree, 1, kDrpLocationInformation), SimulatedValue(L"Port_#0004.Hub_#0001"));
  SimulatedValue value;
  EXPECT_EQ(tree.SystemProperty(2, kDrpAddress, value), winvalues::kCrNoSuchValue);
}

}  // namespace
