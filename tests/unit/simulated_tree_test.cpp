// The simulated device tree: its file format, its faults, re-reading after a change on
// disk, eject results, vanishing and the eject log.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "pnp/DeviceClasses.h"
#include "pnp/DeviceNames.h"
#include "pnp/DeviceNodes.h"
#include "SimulatedDeviceTree.h"
#include "SimulatedTreeFile.h"

namespace {

using winvalues::kCrNoSuchDevnode;
using winvalues::kCrNoSuchValue;
using winvalues::kCrSuccess;

struct FaultCase {
  const char* label;
  std::string text;
  int line;
  std::string message;  // a part of the fault's text
};

void PrintTo(const FaultCase& c, std::ostream* os) { *os << c.label; }

class TreeFileFaults : public testing::TestWithParam<FaultCase> {};

TEST_P(TreeFileFaults, NameTheLineAndLeaveOnlyTheRoot) {
  const SimulatedTreeParse parsed = ParseSimulatedTree(GetParam().text);
  ASSERT_TRUE(parsed.fault.has_value());
  EXPECT_EQ(parsed.fault->line, GetParam().line);
  EXPECT_NE(parsed.fault->message.find(GetParam().message), std::string::npos)
      << parsed.fault->message;
  EXPECT_EQ(parsed.tree.nodes.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, TreeFileFaults,
    testing::Values(
        FaultCase{"OddIndentation", "usb\n   usb\n", 2, "multiple of two"},
        FaultCase{"TabIndentation", "usb\n\tusb\n", 2, "spaces only"},
        FaultCase{"FirstNodeIndented", "# c\n  usb\n", 2, "more than one level"},
        FaultCase{"SkippedLevel", "usb\n  usb\n      usb\n", 3, "more than one level"},
        FaultCase{"UnknownAttribute", "usb removeable\n", 1, "unknown attribute \"removeable\""},
        FaultCase{"RepeatedAttribute", "usb desc=\"a\" desc=\"b\"\n", 1, "given twice"},
        FaultCase{"FlagWithValue", "usb stay=1\n", 1, "takes no value"},
        FaultCase{"StringWithoutQuotes", "usb desc=Disk\n", 1, "quoted string"},
        FaultCase{"UnclosedString", "\n\nusb desc=\"Disk\n", 3, "no closing quote"},
        FaultCase{"UnknownEscape", "usb desc=\"a\\nb\"\n", 1, "backslash"},
        FaultCase{"TextGluedToString", "usb desc=\"a\"removable\n", 1, "expected a space"},
        FaultCase{"EjectValue", "usb eject=maybe\n", 1, "ok, fail or veto"},
        FaultCase{"DelayNotANumber", "usb delay=soon\n", 1, "delay"},
        FaultCase{"DelayNegative", "usb delay=-5\n", 1, "delay"},
        FaultCase{"DelayTooLong", "usb delay=3600001\n", 1, "delay"},
        FaultCase{"DelayMissing", "usb delay=\n", 1, "delay"},
        FaultCase{"PolicyValue", "usb policy=sometimes\n", 1, "none, orderly or surprise"},
        FaultCase{"AddressNotANumber", "usb address=port4\n", 1, "bus address"},
        FaultCase{"NoClassWord", "desc=\"x\"\n", 1, "class word"},
        FaultCase{"DiskNotANumber", "diskdrive disk=one\n", 1, "device number"},
        FaultCase{"CdromNegative", "cdrom cdrom=-1\n", 1, "device number"},
        FaultCase{"VetoerWithoutPid", "diskdrive vetoer=\"\\\\x.exe\"\n", 1, "go together"},
        FaultCase{"PidWithoutVetoer", "diskdrive vetoer-pid=12\n", 1, "go together"},
        FaultCase{"VetoerPidNotANumber", "diskdrive vetoer=\"x\" vetoer-pid=me\n", 1, "process id"},
        FaultCase{"EmptyIdInList", "usb hwids=\"a;;b\"\n", 1, "empty ID"},
        FaultCase{"TrailingSeparator", "usb removes=\"a;\"\n", 1, "empty ID"},
        FaultCase{"EmptyId", "usb id=\"\"\n", 1, "cannot be empty"},
        FaultCase{"IdOfTheStandIn", "usb id=\"standin\\\\LINE1\"\n", 1, "stand-in's own"},
        FaultCase{"IdTwiceInAnyCase", "usb id=\"USB\\\\A\"\nusb\nusb id=\"usb\\\\a\"\n", 3,
                  "already given on line 1"},
        FaultCase{"BadUtf8", "usb desc=\"\xE3\x81\"\n", 1, "UTF-8"},
        FaultCase{"TooDeep",
                  [] {
                    std::string text;
                    for (int depth = 0; depth <= kMaxSimulatedDepth; ++depth)
                      text += std::string(2 * static_cast<std::size_t>(depth), ' ') + "node\n";
                    return text;
                  }(),
                  kMaxSimulatedDepth + 1, "deeper"}),
    [](const auto& testCase) { return std::string(testCase.param.label); });

TEST(TreeFile, ReadsAttributesEscapesAndStructure) {
  const SimulatedTreeParse parsed = ParseSimulatedTree(
      "\xEF\xBB\xBF# comment\r\n"
      "\r\n"
      "usb desc=\"USB 大容量記憶装置デバイス\" removable disableable eject=veto delay=250\r\n"
      "  diskdrive friendly=\"Say \\\"hi\\\" C:\\\\\" problem stay eject=fail\r\n"
      "    # indented comment\n"
      "    volume desc=\"汎用ボリューム\"\n"
      "  \t \n"
      "pcmcia\n");
  ASSERT_FALSE(parsed.fault) << parsed.fault->message;
  const auto& nodes = parsed.tree.nodes;
  ASSERT_EQ(nodes.size(), 5u);

  EXPECT_EQ(nodes[1].line, 3);
  EXPECT_EQ(nodes[1].classWord, "usb");
  EXPECT_EQ(nodes[1].desc, L"USB 大容量記憶装置デバイス");
  EXPECT_FALSE(nodes[1].friendly);
  EXPECT_TRUE(nodes[1].removable && nodes[1].disableable);
  EXPECT_FALSE(nodes[1].problem || nodes[1].stay);
  EXPECT_EQ(nodes[1].eject, SimulatedEject::Veto);
  EXPECT_EQ(nodes[1].delayMs, 250u);

  EXPECT_EQ(nodes[2].friendly, L"Say \"hi\" C:\\");
  EXPECT_FALSE(nodes[2].desc);
  EXPECT_TRUE(nodes[2].problem && nodes[2].stay);
  EXPECT_EQ(nodes[2].eject, SimulatedEject::Fail);
  EXPECT_EQ(nodes[2].parent, 1);

  EXPECT_EQ(nodes[3].line, 6);
  EXPECT_EQ(nodes[3].parent, 2);
  EXPECT_EQ(nodes[4].line, 8);
  EXPECT_EQ(nodes[4].parent, 0);
  EXPECT_EQ(nodes[1].nextSibling, 4);
  EXPECT_EQ(nodes[0].firstChild, 1);
}

TEST(SimulatedTree, NavigatesByLineNumbers) {
  SimulatedDeviceTree tree(ParseSimulatedTree(R"(usb
  diskdrive
    volume
  diskdrive
usb
)")
                               .tree);
  DevNode node = 0;
  EXPECT_EQ(tree.GetChild(node, 1), kCrSuccess);
  EXPECT_EQ(node, 2u);
  EXPECT_EQ(tree.GetSibling(node, 2), kCrSuccess);
  EXPECT_EQ(node, 4u);
  EXPECT_EQ(tree.GetSibling(node, 4), winvalues::kCrNoSuchDevnode);
  EXPECT_EQ(tree.GetChild(node, 3), winvalues::kCrNoSuchDevnode);
  EXPECT_EQ(tree.GetParent(node, 3), kCrSuccess);
  EXPECT_EQ(node, 2u);
  EXPECT_EQ(tree.GetParent(node, 5), kCrSuccess);
  EXPECT_EQ(node, 0u) << "the outermost nodes hang below the root";
  EXPECT_EQ(tree.GetParent(node, 0), winvalues::kCrNoSuchDevnode);
  EXPECT_EQ(tree.GetChild(node, 0), kCrSuccess);
  EXPECT_EQ(node, 1u);
  EXPECT_EQ(tree.GetChild(node, 42), winvalues::kCrNoSuchDevnode);
}

TEST(SimulatedTree, PropertiesAndStatusFollowTheAttributes) {
  SimulatedDeviceTree tree(
      ParseSimulatedTree("hidclass desc=\"Desc\" removable disableable problem\nwidget\n").tree);
  std::wstring text;
  EXPECT_EQ(tree.GetRegistryProperty(1, DeviceProperty::DeviceDesc, 460, text), kCrSuccess);
  EXPECT_EQ(text, L"Desc");
  EXPECT_EQ(tree.GetRegistryProperty(1, DeviceProperty::DeviceDesc, 5, text), kCrSuccess);
  EXPECT_EQ(tree.GetRegistryProperty(1, DeviceProperty::DeviceDesc, 4, text),
            winvalues::kCrBufferSmall);
  EXPECT_EQ(tree.GetRegistryProperty(1, DeviceProperty::FriendlyName, 460, text),
            winvalues::kCrNoSuchValue);
  EXPECT_EQ(tree.GetRegistryProperty(1, DeviceProperty::ClassGuid, 39, text), kCrSuccess);
  EXPECT_EQ(text, L"{745a17a0-74d3-11d0-b6fe-00a0c90f57da}");
  EXPECT_EQ(tree.GetRegistryProperty(2, DeviceProperty::ClassGuid, 39, text),
            winvalues::kCrNoSuchValue);

  std::uint32_t status = 0;
  std::uint32_t problem = 0;
  // A node with a problem has not started; any other has (DN_STARTED, DN_DRIVER_LOADED).
  ASSERT_EQ(tree.GetDevNodeStatus(status, problem, 1), kCrSuccess);
  EXPECT_EQ(status, 0x01806400u);
  EXPECT_NE(problem, 0u);
  ASSERT_EQ(tree.GetDevNodeStatus(status, problem, 2), kCrSuccess);
  EXPECT_EQ(status, 0x0180000Au);
  EXPECT_EQ(problem, 0u);
}

TEST(SimulatedTree, ClassWordsChooseTheSweptClasses) {
  SimulatedDeviceTree tree(ParseSimulatedTree(R"(net
  usb
    1394
      hidclass
  pcmcia
USB
usbhub
)")
                               .tree);
  const std::vector<std::pair<SetupClassGuid, std::vector<DevNode>>> expected{
      {kGuidDevclassUsb, {2}},
      {kGuidDevclassPcmcia, {5}},
      {kGuidDevclassHidclass, {4}},
      {kGuidDevclass1394, {3}},
      {kGuidDevclassNet, {1}}};
  for (const auto& [guid, members] : expected) {
    std::vector<DevNode> seen;
    ForEachPresentDevice(tree, guid, [&](DevNode node) { seen.push_back(node); });
    EXPECT_EQ(seen, members) << testing::PrintToString(FormatClassGuid(guid));
  }
}

TEST(SimulatedTree, EjectResultsAndVanishing) {
  SimulatedDeviceTree tree(ParseSimulatedTree(R"(usb desc="Hub"
  usb desc="Gone"
    diskdrive desc="Disk below"
  usb desc="Stays" stay
  usb desc="Fails" eject=fail
  usb desc="Vetoed" eject=veto
)")
                               .tree);
  EXPECT_EQ(tree.RequestDeviceEject(2), kCrSuccess);
  EXPECT_EQ(tree.RequestDeviceEject(4), kCrSuccess);
  EXPECT_EQ(tree.RequestDeviceEject(5), winvalues::kCrFailure);
  EXPECT_EQ(tree.RequestDeviceEject(6), winvalues::kCrRemoveVetoed);

  std::vector<DevNode> members;
  ForEachPresentDevice(tree, kGuidDevclassUsb, [&](DevNode node) { members.push_back(node); });
  EXPECT_EQ(members, (std::vector<DevNode>{1, 4, 5, 6}));
  DevNode child = 0;
  ASSERT_EQ(tree.GetChild(child, 1), kCrSuccess);
  EXPECT_EQ(child, 4u) << "an ejected first child is skipped";
  EXPECT_FALSE(GetNodeStatus(tree, 3)) << "whatever was below an ejected node goes with it";
  EXPECT_EQ(GetDeviceName(tree, 2), L"Unknown Device");
  EXPECT_EQ(tree.RequestDeviceEject(2), winvalues::kCrNoSuchDevnode);
  EXPECT_EQ(tree.RequestDeviceEject(3), winvalues::kCrNoSuchDevnode);
  EXPECT_EQ(tree.RequestDeviceEject(4), kCrSuccess);
  EXPECT_EQ(tree.RequestDeviceEject(0), winvalues::kCrFailure) << "the root cannot go";
}

TEST(SimulatedTree, DelaySleepsBeforeAnswering) {
  SimulatedDeviceTree tree(ParseSimulatedTree("usb delay=60 eject=fail\n").tree);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(tree.RequestDeviceEject(1), winvalues::kCrFailure);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(60));
}

// A tree file and an eject log in a folder of their own.
class SimulatedTreeFile : public testing::Test {
 protected:
  void SetUp() override {
    const auto* info = testing::UnitTest::GetInstance()->current_test_info();
    dir_ = std::filesystem::temp_directory_path() /
           ("tollevane_tree_" + std::to_string(::getpid()) + "_" + info->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    file_ = dir_ / "devices.tree";
    log_ = dir_ / "eject.log";
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }

  void Write(const std::string& text) {
    std::ofstream(file_, std::ios::binary | std::ios::trunc) << text;
  }
  std::string ReadLog() const {
    std::ifstream in(log_, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  static std::vector<DevNode> UsbMembers(DeviceTree& tree) {
    std::vector<DevNode> members;
    ForEachPresentDevice(tree, kGuidDevclassUsb, [&](DevNode node) { members.push_back(node); });
    return members;
  }

  std::filesystem::path dir_;
  std::filesystem::path file_;
  std::filesystem::path log_;
};

TEST_F(SimulatedTreeFile, LogsEveryRequestAsLineResultAndName) {
  Write(R"(# demo
usb desc="USB 大容量記憶装置デバイス" removable disableable
  diskdrive desc="ディスク ドライブ" friendly="BUFFALO ClipDrive USB Device"
usb desc="Card" eject=veto
)");
  SimulatedDeviceTree tree(file_, log_);
  tree.RequestDeviceEject(3);
  tree.RequestDeviceEject(4);
  tree.RequestDeviceEject(2);
  tree.RequestDeviceEject(3);
  EXPECT_EQ(ReadLog(),
            "3\t0\tBUFFALO ClipDrive USB Device\n"
            "4\t23\tCard\n"
            "2\t0\tUSB 大容量記憶装置デバイス\n"
            "3\t13\tBUFFALO ClipDrive USB Device\n");

  // Appended, not rewritten, by every tree that logs there.
  SimulatedDeviceTree again(file_, log_);
  again.RequestDeviceEject(4);
  EXPECT_EQ(ReadLog().substr(ReadLog().rfind('\n', ReadLog().size() - 2) + 1), "4\t23\tCard\n");
}

TEST_F(SimulatedTreeFile, ReadsTheFileAgainOnlyWhenItChanged) {
  Write("usb desc=\"One\" removable disableable\n");
  SimulatedDeviceTree tree(file_, std::nullopt);
  EXPECT_EQ(UsbMembers(tree), std::vector<DevNode>{1});
  ASSERT_EQ(tree.RequestDeviceEject(1), kCrSuccess);
  EXPECT_TRUE(UsbMembers(tree).empty()) << "an unchanged file keeps the ejected node away";

  Write(
      "# plugged in again, with a second device\n"
      "usb desc=\"One\" removable disableable\n"
      "usb desc=\"Two\" removable disableable\n");
  EXPECT_EQ(UsbMembers(tree), (std::vector<DevNode>{2, 3}));
  EXPECT_EQ(GetDeviceName(tree, 3), L"Two");
}

TEST_F(SimulatedTreeFile, UnreadableOrBadFileGivesAnEmptyTreeAndOneLine) {
  testing::internal::CaptureStderr();
  SimulatedDeviceTree missing(file_, std::nullopt);
  EXPECT_TRUE(UsbMembers(missing).empty());
  EXPECT_TRUE(UsbMembers(missing).empty());
  const std::string missingReport = testing::internal::GetCapturedStderr();
  EXPECT_NE(missingReport.find(file_.string()), std::string::npos) << missingReport;
  EXPECT_NE(missingReport.find("cannot be read"), std::string::npos) << missingReport;
  EXPECT_EQ(std::count(missingReport.begin(), missingReport.end(), '\n'), 1) << missingReport;

  Write("usb desc=\"Fine\"\n\n  usb desc=\"Fine too\"\nusb bogus\n");
  testing::internal::CaptureStderr();
  EXPECT_TRUE(UsbMembers(missing).empty()) << "the fault leaves nothing of the file";
  const std::string badReport = testing::internal::GetCapturedStderr();
  EXPECT_NE(badReport.find(file_.string() + ", line 4: unknown attribute \"bogus\""),
            std::string::npos)
      << badReport;

  Write("usb desc=\"Mended\"\n");
  testing::internal::CaptureStderr();
  EXPECT_EQ(UsbMembers(missing), std::vector<DevNode>{1});
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
}

TEST_F(SimulatedTreeFile, EjectionsAreSharedByEveryTreeOfTheFileUntilItChanges) {
  const std::string text =
      "usb desc=\"Stick\" removable disableable\n"
      "  diskdrive desc=\"Disk\"\n"
      "usb desc=\"Reader\" removable disableable\n"
      "usb desc=\"Hub\" stay\n";
  Write(text);
  SimulatedDeviceTree resident(file_, std::nullopt);
  SimulatedDeviceTree commandLine(file_, std::nullopt);
  ASSERT_EQ(UsbMembers(resident), (std::vector<DevNode>{1, 3, 4}));

  ASSERT_EQ(commandLine.RequestDeviceEject(1), kCrSuccess);
  ASSERT_EQ(commandLine.RequestDeviceEject(4), kCrSuccess);
  EXPECT_EQ(UsbMembers(resident), (std::vector<DevNode>{3, 4}))
      << "a tree that was read before sees the other's ejection; a node that stays, stays";
  EXPECT_EQ(resident.RequestDeviceEject(1), kCrNoSuchDevnode);
  DevNode child = 0;
  EXPECT_EQ(resident.GetChild(child, 1), kCrNoSuchDevnode) << "the nodes below went with it";

  SimulatedDeviceTree later(file_, std::nullopt);
  EXPECT_EQ(UsbMembers(later), (std::vector<DevNode>{3, 4}));

  Write("# plugged in again\n" + text);
  EXPECT_EQ(UsbMembers(later), (std::vector<DevNode>{2, 4, 5}))
      << "a changed file brings every device back";
  SimulatedDeviceTree fresh(file_, std::nullopt);
  EXPECT_EQ(UsbMembers(fresh), (std::vector<DevNode>{2, 4, 5}))
      << "the record of the older file is not applied to the new one";
}

TEST(SimulatedTree, PropertyValuesComeWholeWithThePhysicalObjectName) {
  const std::wstring longName(300, L'x');
  SimulatedDeviceTree tree(ParseSimulatedTree("volume desc=\"" + std::string(300, 'x') +
                                              "\" pdo=\"\\\\Device\\\\HarddiskVolume3\"\n"
                                              "volume\n")
                               .tree);
  std::wstring value;
  ASSERT_EQ(tree.PropertyValue(1, DeviceProperty::DeviceDesc, value), kCrSuccess);
  EXPECT_EQ(value, longName);
  ASSERT_EQ(tree.PropertyValue(1, DeviceProperty::PhysicalDeviceObjectName, value), kCrSuccess);
  EXPECT_EQ(value, L"\\Device\\HarddiskVolume3");
  EXPECT_EQ(tree.PropertyValue(2, DeviceProperty::PhysicalDeviceObjectName, value), kCrNoSuchValue);
  EXPECT_EQ(tree.PropertyValue(9, DeviceProperty::DeviceDesc, value), kCrNoSuchDevnode);
}

}  // namespace
