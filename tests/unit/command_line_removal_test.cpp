// The removals a script starts: by name and by drive, what they tally for the exit
// status, and when they report that nothing was removed.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "app/StartupMode.h"
#include "devices/CommandLineRemoval.h"
#include "devices/DriveHolder.h"
#include "devices/SystemNames.h"
#include "fakes/FakeDeviceTree.h"
#include "fakes/RecordingPrompter.h"
#include "resources/resource.h"
#include "settings/SettingsRecord.h"

namespace {

class CountingPreparation : public StorageEjectPreparation {
 public:
  void PrepareStorageEject() override { ++count; }
  int count = 0;
};

class CommandLineRemovalTest : public testing::Test {};

struct Scripted {
  explicit Scripted(const std::string& text) : tree(text) {}
  RemovalTally ByName(std::wstring_view name, unsigned major = 5) {
    return RemoveDeviceByName(name, SystemNamesFor(major), settings, tree, preparation,
                              prompter);
  }
  RemovalTally ByDrive(std::wstring_view argument, std::optional<std::wstring> device,
                       unsigned major = 5) {
    return RemoveDriveHolder(argument, device, SystemNamesFor(major), settings, tree,
                             preparation, prompter);
  }
  std::vector<RecordingPrompter::Prompt> Failure(const std::wstring& argument) const {
    return {{IDS_REMOVAL_FAILED, argument, IDS_ERROR_CAPTION, 0x40030}};
  }
  FakeDeviceTree tree;
  CountingPreparation preparation;
  RecordingPrompter prompter;
  SettingsRecord settings;
};

// Lines: 2 the stick, 4 its volume; 5 a hub with a stick (6) behind it; 9 a card that
// refuses, with a disk; 13 the volume of a fixed disk.
constexpr const char* kMachine = R"(
usb desc="USB 大容量記憶装置デバイス" removable disableable
  diskdrive friendly="Stick"
    volume desc="汎用ボリューム" pdo="\\Device\\HarddiskVolume2"
usb desc="汎用 USB ハブ" removable disableable
  usb desc="USB 大容量記憶装置デバイス" removable disableable
    diskdrive friendly="Hub Stick"
      volume desc="汎用ボリューム" pdo="\\Device\\HarddiskVolume5"
pcmcia desc="Card" removable disableable eject=veto
  diskdrive friendly="Card Disk"
    volume desc="汎用ボリューム" pdo="\\Device\\HarddiskVolume6"
diskdrive friendly="Fixed Disk"
  volume desc="汎用ボリューム" pdo="\\Device\\HarddiskVolume1"
)";

TEST_F(CommandLineRemovalTest, TallyTellsNothingFoundFromRefusedFromRemoved) {
  struct Case {
    const wchar_t* name;
    RemovalTally tally;
    int status;
  };
  const Case cases[] = {
      {L"Stick", {1, 1}, 0},
      {L"Card Disk", {1, 0}, 2},  // vetoed
      {L"No Such Device", {0, 0}, 1},
      // Both sticks; the one behind the hub goes through the hub's branch and is
      // gone when its own turn as a class member comes.
      {L"USB 大容量記憶装置デバイス", {2, 2}, 0},
  };
  for (const Case& c : cases) {
    Scripted r(kMachine);
    const RemovalTally tally = r.ByName(c.name);
    EXPECT_EQ(tally, c.tally) << c.name;
    EXPECT_EQ(ExitStatusForRemoval(tally), c.status) << c.name;
  }
}

TEST_F(CommandLineRemovalTest, ByNameReportsFailureOnlyWhenAskedTo) {
  Scripted quiet(kMachine);
  quiet.settings.m_bDispRejectErr = 0;
  quiet.ByName(L"Card Disk");
  EXPECT_TRUE(quiet.prompter.prompts().empty());

  Scripted loud(kMachine);
  loud.settings.m_bDispRejectErr = 1;
  loud.ByName(L"Card Disk");
  EXPECT_EQ(loud.prompter.prompts(), loud.Failure(L"Card Disk"));
  loud.ByName(L"Stick");
  EXPECT_EQ(loud.prompter.prompts().size(), 1u) << "a removal that worked shows nothing";
}

TEST_F(CommandLineRemovalTest, ByNameSweepsUsbWhateverTheKinds) {
  Scripted r(kMachine);
  r.settings.m_nDeviceKind = 0x02;
  EXPECT_EQ(r.ByName(L"Stick"), (RemovalTally{1, 1}));
  EXPECT_EQ(r.tree.EjectedLines(), std::vector<int>{2});
}

TEST_F(CommandLineRemovalTest, ByNameChoosesTheStorageDescriptionOfTheSystem) {
  const char* text = R"(
usb desc="USB 大容量記憶装置" removable disableable
  diskdrive friendly="Disk"
    volume desc="汎用ボリューム"
)";
  Scripted vista(text);
  EXPECT_EQ(vista.ByName(L"USB 大容量記憶装置", 6).successes, 1u);
  EXPECT_EQ(vista.preparation.count, 1);
  EXPECT_EQ(vista.tree.EjectedLines(), std::vector<int>{2});

  Scripted xp(text);
  EXPECT_EQ(xp.ByName(L"USB 大容量記憶装置", 5), (RemovalTally{0, 0}));
  EXPECT_EQ(xp.preparation.count, 0);
}

TEST_F(CommandLineRemovalTest, DriveIsRemovedThroughItsNearestRemovableAncestor) {
  struct Case {
    std::optional<std::wstring> device;
    std::vector<int> ejected;
    RemovalTally tally;
    int preparations;
  };
  const Case cases[] = {
      {L"\\Device\\HarddiskVolume2", {2}, {1, 1}, 1},
      // The stick behind the hub goes, not the hub.
      {L"\\Device\\HarddiskVolume5", {6}, {1, 1}, 1},
      // Object names are compared without regard to case.
      {L"\\DEVICE\\harddiskvolume5", {6}, {1, 1}, 1},
      // A card is no storage device: no Explorer closing, and it refuses.
      {L"\\Device\\HarddiskVolume6", {9}, {1, 0}, 0},
      // The fixed disk has no removable ancestor; an unknown volume no node.
      {L"\\Device\\HarddiskVolume1", {}, {0, 0}, 0},
      {L"\\Device\\HarddiskVolume9", {}, {0, 0}, 0},
      {L"\\Device\\HarddiskVolume", {}, {0, 0}, 0},
      {L"", {}, {0, 0}, 0},
      // QueryDosDeviceW knew no such drive.
      {std::nullopt, {}, {0, 0}, 0},
  };
  for (const Case& c : cases) {
    Scripted r(kMachine);
    const std::wstring shown = c.device.value_or(L"(no drive)");
    EXPECT_EQ(r.ByDrive(L"E:", c.device), c.tally) << shown;
    EXPECT_EQ(r.tree.EjectedLines(), c.ejected) << shown;
    EXPECT_EQ(r.preparation.count, c.preparations) << shown;
  }
}

TEST_F(CommandLineRemovalTest, DriveThatNothingHoldsIsReportedUnderItsArgument) {
  Scripted r(kMachine);
  r.settings.m_bDispRejectErr = 1;
  r.ByDrive(L"q:\\", std::nullopt);
  EXPECT_EQ(r.prompter.prompts(), r.Failure(L"q:\\"));

  Scripted refused(kMachine);
  refused.settings.m_bDispRejectErr = 1;
  EXPECT_EQ(ExitStatusForRemoval(refused.ByDrive(L"F:", L"\\Device\\HarddiskVolume6")), 2);
  EXPECT_EQ(refused.prompter.prompts(), refused.Failure(L"F:"));

  Scripted quiet(kMachine);
  quiet.settings.m_bDispRejectErr = 0;
  quiet.ByDrive(L"Q:", std::nullopt);
  EXPECT_TRUE(quiet.prompter.prompts().empty());
}

TEST_F(CommandLineRemovalTest, EjectedDriveHolderIsNoLongerFound) {
  FakeDeviceTree tree(kMachine);
  EXPECT_EQ(FindRemovableHolder(tree, L"\\Device\\HarddiskVolume2"), std::optional<DevNode>(2));
  tree.RequestDeviceEject(2);
  EXPECT_EQ(FindNodeOfDeviceObject(tree, L"\\Device\\HarddiskVolume2"), std::nullopt);
}

}  // namespace
