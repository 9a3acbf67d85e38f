// The listing of removable devices: which nodes are offered, in which order and as
// which records.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "devices/DeviceEnumeration.h"
#include "pnp/DeviceNames.h"
#include "pnp/SystemNames.h"
#include "fakes/FakeDeviceTree.h"

namespace {

const SystemNames kXpNames = SystemNamesFor(5);

class RecordingSink : public DeviceListSink {
 public:
  void AddOrUpdateRow(const tag_device_hotkey_info& record, bool refresh) override {
    records.push_back(record);
    refreshFlags.push_back(refresh);
  }
  std::vector<std::wstring> Names() const {
    std::vector<std::wstring> names;
    for (const auto& record : records) names.push_back(record.name);
    return names;
  }
  std::vector<tag_device_hotkey_info> records;
  std::vector<bool> refreshFlags;
};

constexpr std::uint32_t kAllKinds = 0x3F;

std::vector<std::wstring> Listed(const std::string& text, std::uint32_t kind = kAllKinds) {
  FakeDeviceTree tree(text);
  RecordingSink sink;
  DeviceEnumeration(tree, kind, kXpNames, nullptr, sink).EnumerateDevices(false);
  return sink.Names();
}

// Lists without the all-storage entry, which starts every listing that includes USB.
std::vector<std::wstring> ListedDevices(const std::string& text, std::uint32_t kind = kAllKinds) {
  auto names = Listed(text, kind);
  if (!names.empty() && names.front() == kXpNames.allStorageName)
    names.erase(names.begin());
  return names;
}

class Enumeration : public testing::Test {};

struct ShapeCase {
  const char* label;
  const char* tree;
  std::vector<std::wstring> listed;
};

void PrintTo(const ShapeCase& c, std::ostream* os) { *os << c.label; }

class EnumerationShapes : public Enumeration, public testing::WithParamInterface<ShapeCase> {};

TEST_P(EnumerationShapes, OffersTheDocumentedNodesInOrder) {
  EXPECT_EQ(ListedDevices(GetParam().tree), GetParam().listed);
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, EnumerationShapes,
    testing::Values(ShapeCase{"StorageDiskUnderUsbMember",
                              R"(
usb desc="USB 大容量記憶装置デバイス" removable disableable
  diskdrive friendly="BUFFALO USB Flash Disk USB Device"
    volume desc="汎用ボリューム"
)",
                              {L"BUFFALO USB Flash Disk USB Device"}},
                    ShapeCase{"CardReaderOffersBothSlots",
                              R"(
usb desc="USB 大容量記憶装置デバイス" removable disableable
  diskdrive friendly="Generic CF Reader USB Device"
    volume desc="汎用ボリューム"
  diskdrive friendly="Generic SD Reader USB Device"
    volume desc="汎用ボリューム"
)",
                              {L"Generic CF Reader USB Device", L"Generic SD Reader USB Device"}},
                    ShapeCase{"OnlyAnExactGenericVolumeIsSkipped",
                              R"(
usb desc="S" removable disableable
  diskdrive desc="Disk"
    volume desc="汎用ボリューム"
  diskdrive desc="Disk 2"
    node desc="汎用ボリューム "
)",
                              {L"Disk", L"汎用ボリューム "}},
                    ShapeCase{"LeafChildThenItsRemovableParent",
                              R"(
usb desc="D" removable disableable
  node desc="C" removable disableable
    mouse desc="L"
)",
                              {L"L", L"C"}},
                    ShapeCase{"ClaimRisesOneLevelOnly",
                              R"(
usb desc="D" removable disableable
  node desc="X" removable disableable
    node desc="Y"
      node desc="Z"
        node desc="L"
)",
                              {L"L", L"Y", L"X"}},
                    ShapeCase{"ChainUnderNonRemovableFirstChild",
                              R"(
usb desc="D" removable disableable
  usb desc="X"
    usb desc="Y"
      usb desc="Z"
        usb desc="L"
)",
                              {L"L", L"Y"}},
                    ShapeCase{"ProblemLeafClaimsButIsNotListed",
                              R"(
usb desc="D" removable disableable
  usb desc="C" removable disableable problem
)",
                              {}},
                    ShapeCase{"ProblemDeepDownHidesItsParentToo",
                              R"(
usb desc="D" removable disableable
  usb desc="X"
    usb desc="Y"
      usb desc="P" problem
    usb desc="Leaf"
)",
                              {L"Leaf"}},
                    ShapeCase{"ProblemInnerNodeClaimsWithoutBeingListed",
                              R"(
usb desc="D" removable disableable
  usb desc="X"
    usb desc="Y" problem
      volume desc="汎用ボリューム"
)",
                              {}},
                    ShapeCase{"NothingClaimedAndFirstChildNotRemovable",
                              R"(
usb desc="D" removable disableable
  volume desc="汎用ボリューム"
)",
                              {}},
                    ShapeCase{"ChildlessMemberIsListedItself",
                              R"(
pcmcia desc="RATOC CompactFlash PC Card" removable disableable
)",
                              {L"RATOC CompactFlash PC Card"}},
                    ShapeCase{"MembersFailingTheTestAreIgnoredWithAllBelow",
                              R"(
usb desc="Root Hub"
  usb desc="Not disableable" removable
    mouse desc="M1"
  usb desc="Broken" removable disableable problem
    mouse desc="M2"
)",
                              {}},
                    ShapeCase{"HubDevicesAreReachedTwice",
                              R"(
usb desc="汎用 USB ハブ" removable disableable
  usb desc="USB 大容量記憶装置デバイス" removable disableable
    diskdrive friendly="SAMSUNG HD502HI USB Device"
      volume desc="汎用ボリューム"
)",
                              {L"SAMSUNG HD502HI USB Device", L"USB 大容量記憶装置デバイス",
                               L"SAMSUNG HD502HI USB Device"}},
                    ShapeCase{"DuplicateNamesAreDeliveredEachTime",
                              R"(
usb desc="USB 大容量記憶装置デバイス" removable disableable
  diskdrive friendly="Same Disk"
    volume desc="汎用ボリューム"
usb desc="USB 大容量記憶装置デバイス" removable disableable
  diskdrive friendly="Same Disk"
    volume desc="汎用ボリューム"
)",
                              {L"Same Disk", L"Same Disk"}},
                    ShapeCase{"ChildlessHubIsListedUnderItsName",
                              R"(
usb desc="汎用 USB ハブ" removable disableable
)",
                              {L"汎用 USB ハブ"}}),
    [](const auto& testCase) { return std::string(testCase.param.label); });

constexpr const char* kOneOfEachClass = R"(
net desc="Net" removable disableable
1394 desc="Ieee" removable disableable
hidclass desc="Hid" removable disableable
pcmcia desc="Card" removable disableable
usb desc="Usb" removable disableable
)";

TEST_F(Enumeration, ClassesFollowTheSweepOrderWithTheirKindBits) {
  FakeDeviceTree tree(kOneOfEachClass);
  RecordingSink sink;
  DeviceEnumeration(tree, kAllKinds, kXpNames, nullptr, sink).EnumerateDevices(false);
  ASSERT_EQ(sink.records.size(), 6u);
  const std::vector<std::pair<std::wstring, std::uint32_t>> expected{
      {L"すべての USB 大容量記憶装置デバイス", 0x01},
      {L"Usb", 0x01},
      {L"Card", 0x02},
      {L"Hid", 0x10},
      {L"Ieee", 0x04},
      {L"Net", 0x20}};
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(sink.records[i].name, expected[i].first);
    EXPECT_EQ(sink.records[i].device_kind, expected[i].second) << sink.records[i].name;
  }
}

TEST_F(Enumeration, KindSelectionDecidesWhatIsSwept) {
  struct KindCase {
    std::uint32_t kind;
    std::vector<std::wstring> listed;
  };
  const std::vector<KindCase> cases{
      {0x00, {}},
      {0x08, {}},
      {0x02, {L"Card"}},
      {0x30, {L"Hid", L"Net"}},
      {0x05, {L"すべての USB 大容量記憶装置デバイス", L"Usb", L"Ieee"}},
  };
  for (const KindCase& c : cases) EXPECT_EQ(Listed(kOneOfEachClass, c.kind), c.listed) << c.kind;
}

TEST_F(Enumeration, KindOfABranchIsTheKindOfItsClassDevice) {
  FakeDeviceTree tree(R"(
hidclass desc="USB ヒューマン インターフェイス デバイス" removable disableable
  mouse desc="HID 準拠マウス"
)");
  RecordingSink sink;
  DeviceEnumeration(tree, 0x10, kXpNames, nullptr, sink).EnumerateDevices(false);
  ASSERT_EQ(sink.records.size(), 1u);
  EXPECT_EQ(sink.records[0].name, L"HID 準拠マウス");
  EXPECT_EQ(sink.records[0].device_kind, 0x10u);
}

TEST_F(Enumeration, AllStorageEntryNameFollowsTheWindowsVersion) {
  for (const auto& [major, name] : std::vector<std::pair<unsigned, std::wstring>>{
           {5, L"すべての USB 大容量記憶装置デバイス"}, {6, L"すべての USB 大容量記憶装置"}}) {
    FakeDeviceTree tree("");
    RecordingSink sink;
    DeviceEnumeration(tree, 0x01, SystemNamesFor(major), nullptr, sink).EnumerateDevices(false);
    ASSERT_EQ(sink.records.size(), 1u);
    tag_device_hotkey_info expected;
    expected.name = name;
    expected.key = name;
    expected.device_kind = 1;
    expected.present = 1;
    EXPECT_EQ(sink.records[0], expected) << major;
  }
}

TEST_F(Enumeration, RecordsCarryNameIconKindAndPresenceOnly) {
  FakeDeviceTree tree(R"(
usb desc="USB 大容量記憶装置デバイス" removable disableable
  diskdrive desc="ディスク ドライブ" friendly="I-O DATA TB-BH2 USB Device"
    volume desc="汎用ボリューム"
)");
  RecordingSink sink;
  DeviceEnumeration(tree, 0x01, kXpNames, nullptr, sink).EnumerateDevices(false);
  ASSERT_EQ(sink.records.size(), 2u);
  const tag_device_hotkey_info& disk = sink.records[1];
  EXPECT_EQ(disk.name, L"I-O DATA TB-BH2 USB Device");
  EXPECT_EQ(disk.image, GetDeviceImage(tree, 3, nullptr));
  EXPECT_NE(disk.image, 0);
  EXPECT_EQ(disk.device_kind, 0x01u);
  EXPECT_EQ(disk.present, 1);
  EXPECT_TRUE(disk.key.empty());
  EXPECT_EQ(disk.hotkey, 0u);
  EXPECT_EQ(disk.winkey, 0);
  EXPECT_EQ(disk.reject_times, 0);
}

TEST_F(Enumeration, RefreshFlagReachesEveryDelivery) {
  for (const bool refresh : {false, true}) {
    FakeDeviceTree tree(R"(
usb desc="D" removable disableable
  node desc="X" removable disableable
    node desc="Y"
      node desc="L"
pcmcia desc="Card" removable disableable
)");
    RecordingSink sink;
    DeviceEnumeration(tree, kAllKinds, kXpNames, nullptr, sink).EnumerateDevices(refresh);
    ASSERT_EQ(sink.refreshFlags.size(), 4u);
    EXPECT_EQ(sink.refreshFlags, std::vector<bool>(4, refresh));
  }
}

TEST_F(Enumeration, ListBranchReportsWhetherItsLevelClaimed) {
  FakeDeviceTree tree(R"(
usb desc="D" removable disableable
  usb desc="A"
    volume desc="汎用ボリューム"
  usb desc="B"
    usb desc="Leaf"
usb desc="E" removable disableable
  usb desc="P" problem
)");
  struct BranchCase {
    DevNode start;
    bool claimed;
    std::vector<std::wstring> delivered;
  };
  const std::vector<BranchCase> cases{
      {3, true, {L"A", L"Leaf"}},  // A claims; B's child claimed, so B does not
      {4, false, {}},              // a generic volume alone claims nothing
      {5, false, {L"Leaf"}},       // the claim of Leaf stops at B
      {6, true, {L"Leaf"}},
      {8, true, {}},  // a problem claims without delivering
  };
  for (const BranchCase& c : cases) {
    RecordingSink sink;
    DeviceEnumeration listing(tree, kAllKinds, kXpNames, nullptr, sink);
    EXPECT_EQ(listing.ListBranch(c.start, 0x01, false), c.claimed) << "line " << c.start;
    EXPECT_EQ(sink.Names(), c.delivered) << "line " << c.start;
  }
}

}  // namespace

TEST_F(Enumeration, ADeviceUnpluggedDuringTheListingIsNotOfferedAsUnknownDevice) {
  // The mouse, or the disk with its volume, leaves at each call of the listing in turn.
  constexpr const char* kTree = R"(
usb desc="USB 大容量記憶装置デバイス" removable disableable
  diskdrive friendly="BUFFALO ClipDrive USB Device"
    volume desc="ディスク"
hidclass desc="USB ヒューマン インターフェイス デバイス" removable disableable
  mouse desc="HID 準拠マウス"
)";
  for (const DevNode gone : {DevNode{3}, DevNode{6}}) {
    FakeDeviceTree clean(kTree);
    RecordingSink all;
    DeviceEnumeration(clean, kAllKinds, kXpNames, nullptr, all).EnumerateDevices(false);
    for (std::size_t k = 0; k <= clean.simulated().CountedCalls(); ++k) {
      FakeDeviceTree tree(kTree);
      tree.simulated().VanishAfter(k, {gone});
      RecordingSink sink;
      DeviceEnumeration(tree, kAllKinds, kXpNames, nullptr, sink).EnumerateDevices(false);
      for (const std::wstring& name : sink.Names())
        EXPECT_NE(name, kUnknownDevice) << "line " << gone << " gone after call " << k;
    }
  }
}
