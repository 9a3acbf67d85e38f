// The removal request: which nodes are ejected for a name, how successes are counted,
// when the storage preparation runs, and the command-line removal's report.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "devices/DeviceEnumeration.h"
#include "devices/DeviceRemoval.h"
#include "devices/OfferedDevices.h"
#include "pnp/SystemNames.h"
#include "fakes/FakeDeviceTree.h"
#include "fakes/MachineFiles.h"
#include "fakes/RecordingPrompter.h"
#include "resources/resource.h"
#include "settings/SettingsRecord.h"

namespace {

// Remembers how many eject requests had been made each time it was asked to prepare.
class RecordingPreparation : public StorageEjectPreparation {
 public:
  explicit RecordingPreparation(const FakeDeviceTree& tree) : tree_(tree) {}
  void PrepareStorageEject() override { before.push_back(tree_.ejects().size()); }
  std::vector<std::size_t> before;

 private:
  const FakeDeviceTree& tree_;
};

struct Removal {
  explicit Removal(const std::string& text, std::uint32_t kind = 0x3F, unsigned major = 5)
      : tree(text), preparation(tree), removal(tree, kind, SystemNamesFor(major), preparation) {}
  bool Run(std::wstring_view name, RemovalStartedBy road = RemovalStartedBy::Hotkey) {
    return removal.FindAndEject(name, &registration, road);
  }
  FakeDeviceTree tree;
  RecordingPreparation preparation;
  DeviceRemoval removal;
  tag_device_hotkey_info registration;
};

class DeviceRemovalTest : public testing::Test {};

// Lines:                  1
//                         2 USB member (storage)
//                         3   disk "BUFFALO"
//                         4     volume
//                         5 USB member (card reader)
//                         6   disk "CF"
//                         7     volume
//                         8   disk "SD"
//                         9     volume
//                        10 hub
//                        11   USB member (storage)
//                        12     disk "SAMSUNG"
//                        13       volume
//                        14 HID member
//                        15   mouse
//                        16 PCMCIA card
//                        17 network card
constexpr const char* kTypicalTree = R"(
usb desc="USB 大容量記憶装置デバイス" removable disableable
  diskdrive desc="ディスク ドライブ" friendly="BUFFALO ClipDrive USB Device"
    volume desc="汎用ボリューム"
usb desc="USB 大容量記憶装置デバイス" removable disableable
  diskdrive friendly="Generic USB CF Reader USB Device"
    volume desc="汎用ボリューム"
  diskdrive friendly="Generic USB SD Reader USB Device"
    volume desc="汎用ボリューム"
usb desc="汎用 USB ハブ" removable disableable
  usb desc="USB 大容量記憶装置デバイス" removable disableable
    diskdrive friendly="SAMSUNG HD502HI USB Device"
      volume desc="汎用ボリューム"
hidclass desc="USB ヒューマン インターフェイス デバイス" removable disableable
  mouse desc="HID 準拠マウス"
pcmcia desc="RATOC REX-CFU1 CompactFlash PC Card" removable disableable
net desc="BUFFALO LPC-CB-CLX CardBus Fast Ethernet Adapter" removable disableable
)";

struct TargetCase {
  const char* label;
  std::wstring name;
  std::vector<int> ejected;  // lines, in request order
  std::size_t preparations;
  std::vector<std::wstring> keptOut = {};  // of the all-storage entry
};

void PrintTo(const TargetCase& c, std::ostream* os) { *os << c.label; }

class RemovalTargets : public DeviceRemovalTest, public testing::WithParamInterface<TargetCase> {};

TEST_P(RemovalTargets, EjectTheRightNode) {
  Removal r(kTypicalTree);
  r.removal.KeepOutOfAllStorage(GetParam().keptOut);
  const bool found = r.Run(GetParam().name);
  EXPECT_EQ(r.tree.EjectedLines(), GetParam().ejected);
  EXPECT_EQ(found, !GetParam().ejected.empty());
  EXPECT_EQ(r.preparation.before.size(), GetParam().preparations);
  EXPECT_EQ(r.registration.reject_times, static_cast<int>(GetParam().ejected.size()));
}

INSTANTIATE_TEST_SUITE_P(
    Typical, RemovalTargets,
    testing::Values(
        TargetCase{"FlashDiskByItsDiskName", L"BUFFALO ClipDrive USB Device", {2}, 1},
        TargetCase{"CardReaderFirstSlot", L"Generic USB CF Reader USB Device", {5}, 1},
        TargetCase{"CardReaderSecondSlot", L"Generic USB SD Reader USB Device", {5}, 1},
        TargetCase{"DiskBehindAHub", L"SAMSUNG HD502HI USB Device", {11}, 1},
        TargetCase{"HidDeviceLeaf", L"HID 準拠マウス", {14}, 0},
        TargetCase{"PcmciaCard", L"RATOC REX-CFU1 CompactFlash PC Card", {16}, 0},
        TargetCase{"NetworkCard", L"BUFFALO LPC-CB-CLX CardBus Fast Ethernet Adapter", {17}, 0},
        TargetCase{"LatinCaseIsIgnored", L"buffalo clipdrive usb device", {2}, 1},
        TargetCase{"OtherCaseDifferencesAreNot", L"BUFFALO ClipDrive USB Device ", {}, 0},
        TargetCase{"ClassDeviceWithChildrenIsNotMatchedByItsName",
                   L"USB ヒューマン インターフェイス デバイス",
                   {},
                   0},
        TargetCase{"UnknownName", L"Nothing Like This", {}, 0},
        // Every storage member; the one behind the hub is gone once its hub branch took it.
        TargetCase{"AllStorage", L"USB 大容量記憶装置デバイス", {2, 5, 11}, 3},
        // Kept by the name its row shows (the disk), in any Latin case; a slot keeps its reader.
        TargetCase{"KeptStick", L"USB 大容量記憶装置デバイス", {5, 11}, 2, {L"buffalo clipdrive usb device"}},
        TargetCase{"KeptStickByItsOwnName", L"BUFFALO ClipDrive USB Device", {2}, 1, {L"BUFFALO ClipDrive USB Device"}},
        TargetCase{"KeptBehindAHub", L"USB 大容量記憶装置デバイス", {2, 5}, 2, {L"SAMSUNG HD502HI USB Device"}},
        TargetCase{"KeptSlot", L"USB 大容量記憶装置デバイス", {2, 11}, 2, {L"Generic USB SD Reader USB Device"}}),
    [](const auto& testCase) { return std::string(testCase.param.label); });

TEST_F(DeviceRemovalTest, ANodeUnpluggedMidWalkLendsNoNameToWhatStaysAbove) {
  // A node that has left reads as "Unknown Device", as a nameless one does: a removal of
  // that name must not take the device that held it, at whichever call it leaves.
  struct Case {
    const char* what;
    DevNode gone;
    std::wstring name;
    RemovalStartedBy road;
  };
  const Case cases[] = {
      {"a USB member's disk", 3, L"Unknown Device", RemovalStartedBy::Hotkey},
      {"a card reader's second slot, by pattern", 8, L"Unknown*", RemovalStartedBy::CommandLine},
      {"a HID member's mouse", 15, L"unknown device", RemovalStartedBy::Hotkey},
  };
  for (const Case& c : cases) {
    Removal clean(kTypicalTree);
    clean.Run(c.name, c.road);
    for (std::size_t k = 0; k <= clean.tree.simulated().CountedCalls(); ++k) {
      Removal r(kTypicalTree);
      r.tree.simulated().VanishAfter(k, {c.gone});
      EXPECT_FALSE(r.Run(c.name, c.road)) << c.what << ", gone after call " << k;
      EXPECT_EQ(r.tree.EjectedLines(), std::vector<int>{}) << c.what << ", gone after call " << k;
    }
  }
}

TEST_F(DeviceRemovalTest, AllStorageRequestsEveryMeetingWhenNodesStay) {
  Removal r(R"(
usb desc="汎用 USB ハブ" removable disableable
  usb desc="USB 大容量記憶装置デバイス" removable disableable stay
    diskdrive friendly="Disk"
      volume desc="汎用ボリューム"
)");
  EXPECT_TRUE(r.Run(L"USB 大容量記憶装置デバイス"));
  // Through the hub's branch (the first child named G is ejected itself), then as a
  // class member of its own.
  EXPECT_EQ(r.tree.EjectedLines(), (std::vector<int>{3, 3}));
  EXPECT_EQ(r.registration.reject_times, 2);
  EXPECT_EQ(r.preparation.before, (std::vector<std::size_t>{0, 1}));
}

TEST_F(DeviceRemovalTest, TwoDevicesWithTheNameAreBothEjected) {
  Removal r(R"(
usb desc="USB 大容量記憶装置デバイス" removable disableable
  diskdrive friendly="Same Disk"
    volume desc="汎用ボリューム"
usb desc="USB 大容量記憶装置デバイス" removable disableable
  diskdrive friendly="SAME DISK"
    volume desc="汎用ボリューム"
)");
  EXPECT_TRUE(r.Run(L"Same Disk"));
  EXPECT_EQ(r.tree.EjectedLines(), (std::vector<int>{2, 5}));
  EXPECT_EQ(r.registration.reject_times, 2);
}

TEST_F(DeviceRemovalTest, FirstChildLeafMakesTwoRequestsOfItsParent) {
  const char* tree = R"(
usb desc="Root" removable disableable
  node desc="Card Reader" removable disableable %s
    node desc="Leaf"
)";
  // Without "stay" the parent and the leaf are gone after the first request, so the
  // parent's level no longer sees the name.
  struct StayCase {
    std::string flag;
    std::vector<int> ejected;
  };
  for (const StayCase& c : std::vector<StayCase>{{"stay", {3, 3}}, {"", {3}}}) {
    char text[256];
    std::snprintf(text, sizeof text, tree, c.flag.c_str());
    Removal r(text);
    EXPECT_TRUE(r.Run(L"Leaf"));
    EXPECT_EQ(r.tree.EjectedLines(), c.ejected) << c.flag;
    EXPECT_EQ(r.registration.reject_times, static_cast<int>(c.ejected.size())) << c.flag;
  }
}

TEST_F(DeviceRemovalTest, FailedAndVetoedRequestsAreNotCounted) {
  Removal r(R"(
usb desc="S" removable disableable eject=fail
  diskdrive friendly="Disk"
    volume desc="汎用ボリューム"
usb desc="S" removable disableable eject=veto
  diskdrive friendly="Disk"
    volume desc="汎用ボリューム"
usb desc="S" removable disableable
  diskdrive friendly="Disk"
    volume desc="汎用ボリューム"
)");
  EXPECT_TRUE(r.Run(L"Disk"));
  const std::vector<FakeDeviceTree::Eject> expected{
      {2, winvalues::kCrFailure}, {5, winvalues::kCrRemoveVetoed}, {8, winvalues::kCrSuccess}};
  EXPECT_EQ(r.tree.ejects(), expected);
  EXPECT_EQ(r.registration.reject_times, 1);

  Removal refused(R"(
pcmcia desc="Card" removable disableable eject=veto
)");
  EXPECT_FALSE(refused.Run(L"Card"));
  EXPECT_EQ(refused.registration.reject_times, 0);
}

TEST_F(DeviceRemovalTest, UsbPassFollowsTheRoad) {
  const char* text = R"(
usb desc="USB 大容量記憶装置デバイス" removable disableable
  diskdrive friendly="Disk"
    volume desc="汎用ボリューム"
pcmcia desc="Card" removable disableable
)";
  Removal hotkey(text, 0x02);
  EXPECT_FALSE(hotkey.Run(L"Disk", RemovalStartedBy::Hotkey));
  EXPECT_TRUE(hotkey.tree.ejects().empty());

  Removal commandLine(text, 0x02);
  EXPECT_TRUE(commandLine.Run(L"Disk", RemovalStartedBy::CommandLine));
  EXPECT_EQ(commandLine.tree.EjectedLines(), std::vector<int>{2});

  // Other kinds follow DEVICE_KIND on both roads.
  Removal noPcmcia(text, 0x01);
  EXPECT_FALSE(noPcmcia.Run(L"Card", RemovalStartedBy::CommandLine));
}

TEST_F(DeviceRemovalTest, NonUsbFirstChildMatchEjectsTheClassDevice) {
  Removal r(R"(
pcmcia desc="Card" removable disableable
  diskdrive desc="USB 大容量記憶装置デバイス"
    volume desc="汎用ボリューム"
)");
  // Unlike the USB pass, a first child named as storage does not take itself out here.
  EXPECT_TRUE(r.Run(L"USB 大容量記憶装置デバイス"));
  EXPECT_EQ(r.tree.EjectedLines(), std::vector<int>{2});
  EXPECT_TRUE(r.preparation.before.empty()) << "the card itself is not a storage node";
}

TEST_F(DeviceRemovalTest, PreparationPrecedesOnlyRequestsForNodesDescribedAsStorage) {
  Removal r(R"(
usb desc="usb 大容量記憶装置デバイス" friendly="My Stick" removable disableable
usb desc="Other" friendly="USB 大容量記憶装置デバイス" removable disableable
)");
  EXPECT_TRUE(r.Run(L"My Stick"));
  EXPECT_EQ(r.preparation.before, std::vector<std::size_t>{0});
  EXPECT_TRUE(r.Run(L"USB 大容量記憶装置デバイス"));
  EXPECT_EQ(r.tree.EjectedLines(), (std::vector<int>{2, 3}));
  EXPECT_EQ(r.preparation.before.size(), 1u)
      << "a storage friendly name is not a storage description";
}

TEST_F(DeviceRemovalTest, EverythingTheListOffersCanBeRemovedByItsName) {
  std::vector<std::string> trees{kTypicalTree, MachineText("windows10-ja.tree"),
                                 MachineText("windows10-en.tree"),
                                 MachineText("windows-xp-ja.tree"), R"(
usb desc="Reader" removable disableable
  usb desc="Slot A"
    usb desc="Card A"
      volume desc="汎用ボリューム"
  usb desc="Slot B"
    usb desc="Card B"
      volume desc="汎用ボリューム"
    usb desc="Card C"
      volume desc="汎用ボリューム"
  usb desc="Slot C"
    usb desc="Inner"
      usb desc="Leaf"
pcmcia desc="Bridge" removable disableable
  usb desc="Port 1"
    volume desc="汎用ボリューム"
  usb desc="Port 2"
    volume desc="汎用ボリューム"
usb desc="D" removable disableable
  usb desc="X" removable disableable
    usb desc="Y"
      usb desc="Z"
        usb desc="L"
)"};
  for (std::size_t machine = 1; machine <= 3; ++machine)
    ASSERT_NE(trees[machine].find("usb"), std::string::npos) << "machine file not found";
  for (const unsigned major : {5u, 6u}) {
    const SystemNames names = SystemNamesFor(major);
    for (const std::string& text : trees) {
      FakeDeviceTree listed(text);
      OfferedDevices offered(names);
      DeviceEnumeration(listed, 0x3F, names, nullptr, offered).EnumerateDevices(false);
      EXPECT_GT(offered.Count(), 1u);
      for (std::size_t index = 0; index < offered.Count(); ++index) {
        // The all-storage entry names no node; its removal looks for the description.
        if (offered.IsAllStorageEntry(index)) continue;
        const std::wstring& name = offered.At(index).name;
        Removal r(text, 0x3F, major);
        EXPECT_TRUE(r.Run(name)) << testing::PrintToString(name) << " (major " << major << ")";
      }
    }
  }
}

}  // namespace

// A stop asked once a given number of eject requests had been made, or from inside the
// storage preparation that precedes the next one.
class StopAfter : public RemovalStop {
 public:
  StopAfter(const FakeDeviceTree& tree, std::size_t requests) : tree_(tree), requests_(requests) {}
  bool StopAsked() const override {
    return askedDuringPreparation || tree_.ejects().size() >= requests_;
  }
  bool askedDuringPreparation = false;

 private:
  const FakeDeviceTree& tree_;
  std::size_t requests_;
};

// Stops in the middle of its preparation: the user gave up during the Explorer pause.
class StoppingPreparation : public StorageEjectPreparation {
 public:
  explicit StoppingPreparation(StopAfter& stop) : stop_(stop) {}
  void PrepareStorageEject() override {
    ++preparations;
    stop_.askedDuringPreparation = true;
  }
  int preparations = 0;

 private:
  StopAfter& stop_;
};

constexpr const char* kThreeSticks = R"(
usb desc="USB 大容量記憶装置デバイス" removable disableable
  diskdrive friendly="Stick A"
usb desc="USB 大容量記憶装置デバイス" removable disableable
  diskdrive friendly="Stick B"
usb desc="USB 大容量記憶装置デバイス" removable disableable
  diskdrive friendly="Stick C"
)";

struct StopCase {
  const char* label;
  std::size_t stopAfter;  // eject requests made before the stop is asked
  std::vector<int> ejected;
  std::vector<std::size_t> preparedBefore;
  bool found;
};

class RemovalStops : public DeviceRemovalTest, public testing::WithParamInterface<StopCase> {};

TEST_P(RemovalStops, NoRequestAndNoPreparationAfterTheStop) {
  const StopCase& c = GetParam();
  Removal r(kThreeSticks);
  StopAfter stop(r.tree, c.stopAfter);
  r.removal.StopWhen(stop);
  EXPECT_EQ(r.Run(L"USB 大容量記憶装置デバイス"), c.found);
  EXPECT_EQ(r.tree.EjectedLines(), c.ejected);
  EXPECT_EQ(r.preparation.before, c.preparedBefore);
  EXPECT_EQ(r.registration.reject_times, static_cast<int>(c.ejected.size()));
  EXPECT_EQ(r.removal.Tally().requests, c.ejected.size());
}

INSTANTIATE_TEST_SUITE_P(
    DeviceRemovalTest, RemovalStops,
    testing::Values(StopCase{"BeforeTheFirst", 0, {}, {}, false},
                    // The request in flight when the user stops runs to its end and counts.
                    StopCase{"DuringTheFirst", 1, {2}, {0}, true},
                    StopCase{"DuringTheSecond", 2, {2, 4}, {0, 1}, true},
                    StopCase{"Never", 99, {2, 4, 6}, {0, 1, 2}, true}),
    [](const auto& testCase) { return std::string(testCase.param.label); });

TEST_F(DeviceRemovalTest, StopAskedDuringThePreparationCancelsItsRequest) {
  FakeDeviceTree tree(kThreeSticks);
  StopAfter stop(tree, 99);
  StoppingPreparation preparation(stop);
  DeviceRemoval removal(tree, 0x3F, SystemNamesFor(5), preparation);
  removal.StopWhen(stop);
  tag_device_hotkey_info registration;
  EXPECT_FALSE(
      removal.FindAndEject(L"USB 大容量記憶装置デバイス", &registration, RemovalStartedBy::Hotkey));
  EXPECT_EQ(preparation.preparations, 1);
  EXPECT_TRUE(tree.ejects().empty());
  EXPECT_EQ(removal.Tally(), RemovalTally{});
}
