// Display names, the name comparison, class icons, node tests and the setup classes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pnp/DeviceClasses.h"
#include "pnp/DeviceNames.h"
#include "pnp/DeviceNodes.h"
#include "fakes/FakeDeviceTree.h"

namespace {

std::string Repeat(char c, std::size_t count) { return std::string(count, c); }

struct NameCase {
  const char* label;
  std::string attributes;
  std::wstring expected;
};

void PrintTo(const NameCase& c, std::ostream* os) { *os << c.label; }

class DisplayName : public testing::TestWithParam<NameCase> {};

TEST_P(DisplayName, FollowsFriendlyThenDescriptionThenUnknown) {
  FakeDeviceTree tree("usb " + GetParam().attributes + "\n");
  EXPECT_EQ(GetDeviceName(tree, 1), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DisplayName,
    testing::Values(
        NameCase{
            "FriendlyWins",
            R"(desc="USB 大容量記憶装置デバイス" friendly="BUFFALO USB Flash Disk USB Device")",
            L"BUFFALO USB Flash Disk USB Device"},
        NameCase{"DescriptionWithoutFriendly", R"(desc="HID 準拠マウス")", L"HID 準拠マウス"},
        NameCase{"Neither", "removable", L"Unknown Device"},
        NameCase{"Friendly459Fits", "desc=\"D\" friendly=\"" + Repeat('F', 459) + "\"",
                 std::wstring(459, L'F')},
        NameCase{"Friendly460FallsBack", "desc=\"D\" friendly=\"" + Repeat('F', 460) + "\"", L"D"},
        NameCase{"Friendly600FallsBack", "desc=\"D\" friendly=\"" + Repeat('F', 600) + "\"", L"D"},
        // A character outside the BMP takes two UTF-16 units, wherever wchar_t is wider.
        NameCase{"SurrogatePairCountsTwice",
                 "desc=\"D\" friendly=\"" + Repeat('F', 458) + "\xF0\x9F\x92\xBE\"", L"D"},
        NameCase{"LongFriendlyAndLongDescription",
                 "desc=\"" + Repeat('D', 460) + "\" friendly=\"" + Repeat('F', 460) + "\"",
                 L"Unknown Device"}),
    [](const auto& testCase) { return std::string(testCase.param.label); });

struct CompareCase {
  std::wstring a;
  std::wstring b;
  bool equal;
};

TEST(DeviceNamesEqual, FoldsLatinLettersOnly) {
  const std::vector<CompareCase> cases{
      {L"BUFFALO ClipDrive", L"buffalo clipdrive", true},
      {L"USB 大容量記憶装置デバイス", L"usb 大容量記憶装置デバイス", true},
      {L"汎用ボリューム", L"汎用ボリューム", true},
      {L"", L"", true},
      {L"Disk", L"Disk ", false},
      {L"Disk", L"Dis", false},
      // Neighbours of A-Z that differ from a letter by the case bit only.
      {L"[", L"{", false},
      {L"@", L"`", false},
      {L"^", L"~", false},
      // Case outside ASCII stays significant.
      {L"Ｕｓｂ", L"ＵＳＢ", false},
      {L"é", L"É", false},
      {L"ボリューム", L"ﾎﾞﾘｭｰﾑ", false},
  };
  for (const CompareCase& c : cases) {
    EXPECT_EQ(DeviceNamesEqual(c.a, c.b), c.equal) << testing::PrintToString(c.a);
    EXPECT_EQ(DeviceNamesEqual(c.b, c.a), c.equal) << testing::PrintToString(c.b);
  }
}

TEST(DeviceNodeTests, RemovableNeedsBothBitsAndNoProblem) {
  FakeDeviceTree tree(R"(usb removable
usb disableable
usb removable disableable
usb removable disableable problem
usb problem
usb
)");
  struct Expectation {
    DevNode node;
    bool removable;
    bool problem;
  };
  for (const Expectation& e : std::vector<Expectation>{{1, false, false},
                                                       {2, false, false},
                                                       {3, true, false},
                                                       {4, false, true},
                                                       {5, false, true},
                                                       {6, false, false}}) {
    EXPECT_EQ(IsRemovableNode(tree, e.node), e.removable) << "line " << e.node;
    EXPECT_EQ(HasProblem(tree, e.node), e.problem) << "line " << e.node;
  }
}

TEST(DeviceNodeTests, UnreadableStatusIsNeitherRemovableNorProblem) {
  FakeDeviceTree tree("usb removable disableable problem\n");
  ASSERT_EQ(tree.RequestDeviceEject(1), winvalues::kCrSuccess);  // gone from the tree now
  EXPECT_FALSE(GetNodeStatus(tree, 1).has_value());
  EXPECT_FALSE(IsRemovableNode(tree, 1));
  EXPECT_FALSE(HasProblem(tree, 1));
}

TEST(DeviceImage, ComesFromTheClassGuidProperty) {
  FakeDeviceTree tree(R"(usb
diskdrive
volume
storport
)");
  const int usb = GetDeviceImage(tree, 1, nullptr);
  const int disk = GetDeviceImage(tree, 2, nullptr);
  const int volume = GetDeviceImage(tree, 3, nullptr);
  EXPECT_NE(usb, 0);
  EXPECT_NE(disk, 0);
  EXPECT_NE(usb, disk);
  EXPECT_NE(disk, volume);
  EXPECT_EQ(GetDeviceImage(tree, 4, nullptr), 0) << "a class GUID that cannot be read";
  EXPECT_EQ(GetDeviceImage(tree, 99, nullptr), 0) << "no such node";
}

// A tree whose CLASSGUID texts are given by the test, to see what reaches the parser.
class ClassGuidTextTree : public FakeDeviceTree {
 public:
  explicit ClassGuidTextTree(std::wstring classGuid)
      : FakeDeviceTree("usb\n"), classGuid_(std::move(classGuid)) {}
  winvalues::ConfigRet GetRegistryProperty(DevNode, DeviceProperty property, std::size_t units,
                                           std::wstring& text) override {
    if (property != DeviceProperty::ClassGuid || classGuid_.size() >= units)
      return winvalues::kCrNoSuchValue;
    text = classGuid_;
    return winvalues::kCrSuccess;
  }
  bool GetClassImageIndex(const ClassImageList*, std::wstring_view guidText, int& index) override {
    seen.emplace_back(guidText);
    index = 7;
    return ParseClassGuid(guidText).has_value();
  }
  std::vector<std::wstring> seen;

 private:
  std::wstring classGuid_;
};

TEST(DeviceImage, HandsTheGuidWithoutBracesOnAndFallsBackToZero) {
  ClassGuidTextTree braced(L"{36fc9e60-c465-11cf-8056-444553540000}");
  EXPECT_EQ(GetDeviceImage(braced, 1, nullptr), 7);
  EXPECT_EQ(braced.seen, std::vector<std::wstring>{L"36fc9e60-c465-11cf-8056-444553540000"});

  ClassGuidTextTree bare(L"36fc9e60-c465-11cf-8056-444553540000");
  EXPECT_EQ(GetDeviceImage(bare, 1, nullptr), 0);

  ClassGuidTextTree empty(L"");
  EXPECT_EQ(GetDeviceImage(empty, 1, nullptr), 0);
}

TEST(SetupClasses, SweepOrderIsUsbUasPcmciaHidIeee1394Network) {
  const std::vector<std::pair<std::uint32_t, std::wstring>> expected{
      {0x01, L"36FC9E60-C465-11CF-8056-444553540000"},
      {0x01, L"4D36E97B-E325-11CE-BFC1-08002BE10318"},  // SCSI adapters: UAS drives only
      {0x02, L"4D36E977-E325-11CE-BFC1-08002BE10318"},
      {0x10, L"745A17A0-74D3-11D0-B6FE-00A0C90F57DA"},
      {0x04, L"6BDD1FC1-810F-11D0-BEC7-08002BE2092F"},
      {0x20, L"4D36E972-E325-11CE-BFC1-08002BE10318"},
  };
  ASSERT_EQ(kSweepOrder.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(kSweepOrder[i].kind, expected[i].first) << i;
    EXPECT_EQ(FormatClassGuid(kSweepOrder[i].guid), expected[i].second) << i;
    EXPECT_EQ(ParseClassGuid(expected[i].second), kSweepOrder[i].guid) << i;
    EXPECT_EQ(kSweepOrder[i].massStorageOnly, i == 1) << i;
  }
}

TEST(SetupClasses, GuidTextMustBeExactlyTheRegistryForm) {
  EXPECT_EQ(ParseClassGuid(L"36fc9e60-c465-11cf-8056-444553540000"), kGuidDevclassUsb);
  for (const wchar_t* bad :
       {L"{36FC9E60-C465-11CF-8056-444553540000}", L"36FC9E60-C465-11CF-8056-44455354000",
        L"36FC9E60-C465-11CF-8056-4445535400000", L"36FC9E60C465-11CF-8056-4445535400000",
        L"36FC9E6G-C465-11CF-8056-444553540000", L"36FC9E60-C465-11CF-8056+444553540000", L""})
    EXPECT_FALSE(ParseClassGuid(bad).has_value()) << testing::PrintToString(std::wstring(bad));
}

TEST(PresentDevices, MembersOfAClassAtAnyDepthInTreeOrder) {
  FakeDeviceTree tree(R"(usb desc="host"
  usb desc="root hub"
    hidclass desc="mouse"
    usb desc="storage"
      diskdrive desc="disk"
  pcmcia desc="card"
usb desc="second host"
)");
  std::vector<DevNode> usb;
  ForEachPresentDevice(tree, kGuidDevclassUsb, [&](DevNode node) { usb.push_back(node); });
  EXPECT_EQ(usb, (std::vector<DevNode>{1, 2, 4, 7}));

  std::vector<DevNode> none;
  ForEachPresentDevice(tree, kGuidDevclassNet, [&](DevNode node) { none.push_back(node); });
  EXPECT_TRUE(none.empty());
}

}  // namespace
