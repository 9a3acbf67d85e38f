// The removals a script starts: by name and by drive, what they tally for the exit
// status, and when they report that nothing was removed.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <optional>
#include <string>
#include <vector>

#include "app/StartupMode.h"
#include "commandline/CommandLineRemoval.h"
#include "drives/DriveHolders.h"
#include "commandline/EjectRecordingTree.h"
#include "drives/VolumeLabels.h"
#include "commandline/CommandLineRequest.h"
#include "pnp/SystemNames.h"
#include "fakes/FakeDeviceTree.h"
#include "fakes/RecordingPrompter.h"
#include "fakes/TreeDrives.h"
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
  // As a plain command line runs it: the box when nothing went and it is asked for.
  RequestResult Run(RemovalTarget target, std::wstring value, std::wstring_view typed,
                    unsigned major) {
    EjectRecordingTree recording(tree, EjectRecordingTree::Requests::Ask);
    EveryKindRemoval removal(recording, storage, settings, SystemNamesFor(major), preparation);
    RemovalRequest request;
    request.target = target;
    request.value = std::move(value);
    const RequestResult result = RemoveRequested(request, removal, recording, storage);
    ReportNothingRemoved(typed, settings, result.tally, prompter);
    return result;
  }
  RemovalTally ByName(std::wstring_view name, unsigned major = 5) {
    return Run(RemovalTarget::Name, std::wstring(name), name, major).tally;
  }
  RemovalTally ByDrive(std::wstring_view argument, std::optional<wchar_t> letter,
                       unsigned major = 6) {
    return Run(RemovalTarget::Drive, {letter.value_or(L'?'), L':'}, argument, major).tally;
  }
  std::vector<RecordingPrompter::Prompt> Failure(const std::wstring& argument) const {
    return {{IDS_REMOVAL_FAILED, argument, IDS_ERROR_CAPTION, 0x40030}};
  }
  FakeDeviceTree tree;
  // Drives on kMachine: E: the stick, F: the card's disk, C: the fixed disk, Z: a share.
  TreeDrives storage{tree,
                           {{L'E', {winvalues::kDriveRemovable, L"STORAGE\\VOLUME\\STICK"}},
                            {L'F', {winvalues::kDriveFixed, L"STORAGE\\VOLUME\\CARD"}},
                            {L'C', {winvalues::kDriveFixed, L"STORAGE\\VOLUME\\FIXED"}},
                            {L'Z', {winvalues::kDriveRemote, L""}}}};
  CountingPreparation preparation;
  RecordingPrompter prompter;
  SettingsRecord settings;
};

// Lines: 2 the stick, 4 its disk; 5 a hub with a stick (6) behind it; 9 a card that
// refuses, with a disk; 13 a fixed disk; 14 the volume manager with the volumes.
constexpr const char* kMachine = R"(
usb desc="USB 大容量記憶装置デバイス" removable disableable
  diskdrive friendly="Stick" removes="STORAGE\\VOLUME\\STICK" disk=1
    volume desc="汎用ボリューム"
usb desc="汎用 USB ハブ" removable disableable
  usb desc="USB 大容量記憶装置デバイス" removable disableable
    diskdrive friendly="Hub Stick" disk=2
      volume desc="汎用ボリューム"
pcmcia desc="Card" removable disableable eject=veto
  diskdrive friendly="Card Disk" removes="STORAGE\\VOLUME\\CARD" disk=3
    volume desc="汎用ボリューム"
diskdrive friendly="Fixed Disk" removes="STORAGE\\VOLUME\\FIXED" disk=0
system id="ROOT\\VOLMGR\\0000"
  volume desc="ボリューム" id="STORAGE\\VOLUME\\STICK"
  volume desc="ボリューム" id="STORAGE\\VOLUME\\CARD"
  volume desc="ボリューム" id="STORAGE\\VOLUME\\FIXED"
)";

TEST_F(CommandLineRemovalTest, TallyTellsNothingFoundFromRefusedFromRemoved) {
  struct Case {
    const wchar_t* name;
    RemovalTally tally;
    int status;
    std::vector<std::wstring> keptOut = {};
  };
  const Case cases[] = {
      {L"Stick", {1, 1}, 0},
      {L"Card Disk", {1, 0}, 2},  // vetoed
      {L"No Such Device", {0, 0}, 1},
      // Both sticks; the one behind the hub goes through the hub's branch and is
      // gone when its own turn as a class member comes.
      {L"USB 大容量記憶装置デバイス", {2, 2}, 0},
      {L"USB 大容量記憶装置デバイス", {1, 1}, 0, {L"Hub Stick"}},
      {L"USB 大容量記憶装置デバイス", {0, 0}, 1, {L"Stick", L"hub stick"}},
      {L"Stick", {1, 1}, 0, {L"Stick"}},
      {L"E:", {1, 1}, 0, {L"Stick"}},  // its letter
  };
  for (const Case& c : cases) {
    Scripted r(kMachine);
    r.settings.m_aKeptOut = c.keptOut;
    const RemovalTally tally = c.name[1] == L':' ? r.ByDrive(c.name, c.name[0]) : r.ByName(c.name);
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

TEST_F(CommandLineRemovalTest, DriveIsRemovedThroughTheDeviceThatHoldsIt) {
  struct Case {
    std::optional<wchar_t> letter;
    std::vector<int> ejected;
    RemovalTally tally;
    int preparations;
  };
  const Case cases[] = {
      // The stick's storage description is the running system's only on major 5.
      {L'E', {2}, {1, 1}, 1},
      // A card is no storage device: no Explorer closing, and it refuses.
      {L'F', {9}, {1, 0}, 0},
      // The fixed disk has no removable ancestor; a share and a free letter no disk.
      {L'C', {}, {0, 0}, 0},
      {L'Z', {}, {0, 0}, 0},
      {L'Q', {}, {0, 0}, 0},
      // The argument named no drive.
      {std::nullopt, {}, {0, 0}, 0},
  };
  for (const Case& c : cases) {
    Scripted r(kMachine);
    const std::string shown(1, static_cast<char>(c.letter.value_or(L'-')));
    EXPECT_EQ(r.ByDrive(L"E:", c.letter, 5), c.tally) << shown;
    EXPECT_EQ(r.tree.EjectedLines(), c.ejected) << shown;
    EXPECT_EQ(r.preparation.count, c.preparations) << shown;
  }
}

TEST_F(CommandLineRemovalTest, DriveThatNothingHoldsIsReportedUnderItsArgument) {
  struct Case {
    std::wstring argument;
    std::optional<wchar_t> letter;
    int status;
  };
  const Case cases[] = {{L"q:\\", L'Q', 1}, {L"C:", L'C', 1}, {L"Z:", L'Z', 1}, {L"F:", L'F', 2}};
  for (const Case& c : cases) {
    Scripted loud(kMachine);
    loud.settings.m_bDispRejectErr = 1;
    EXPECT_EQ(ExitStatusForRemoval(loud.ByDrive(c.argument, c.letter)), c.status);
    EXPECT_EQ(loud.prompter.prompts(), loud.Failure(c.argument));

    Scripted quiet(kMachine);
    quiet.settings.m_bDispRejectErr = 0;
    quiet.ByDrive(c.argument, c.letter);
    EXPECT_TRUE(quiet.prompter.prompts().empty());
  }
}

TEST_F(CommandLineRemovalTest, EjectedDriveHolderIsNoLongerFound) {
  Scripted r(kMachine);
  EXPECT_EQ(r.ByDrive(L"E:", L'E'), (RemovalTally{1, 1}));
  EXPECT_EQ(r.ByDrive(L"E:", L'E'), (RemovalTally{0, 0}));
  EXPECT_EQ(r.tree.EjectedLines(), std::vector<int>{2}) << "a stick that is gone is not asked again";
}

// Labels and mount points on the machine of the removal tests: E: the stick (also
// mounted at C:\mnt\stick), F: the card's disk, C: the fixed disk, Z: a share.
class LabelledStorage : public TreeDrives {
 public:
  LabelledStorage(FakeDeviceTree& tree, std::map<wchar_t, std::wstring> labels)
      : TreeDrives(tree, {{L'E', {winvalues::kDriveRemovable, L"STORAGE\\VOLUME\\STICK"}},
                                {L'F', {winvalues::kDriveFixed, L"STORAGE\\VOLUME\\CARD"}},
                                {L'C', {winvalues::kDriveFixed, L"STORAGE\\VOLUME\\FIXED"}},
                                {L'Z', {winvalues::kDriveRemote, L""}}}),
        labels_(std::move(labels)) {}
  std::optional<std::wstring> VolumeLabel(wchar_t letter) override { return Find(labels_, letter); }
  std::optional<std::wstring> MountedVolume(const std::wstring& path) override {
    return Find(std::map<std::wstring, std::wstring>{{L"E:\\", L"{e}"}, {L"C:\\mnt\\stick\\", L"{e}"},
                                                     {L"C:\\", L"{c}"}, {L"C:\\mnt\\lost\\", L"{x}"}}, path);
  }

 private:
  template <typename Map, typename Key>
  static std::optional<std::wstring> Find(const Map& map, const Key& key) {
    const auto found = map.find(key);
    return found == map.end() ? std::nullopt : std::optional(found->second);
  }
  std::map<wchar_t, std::wstring> labels_;
};

TEST(LabelRemoval, EachHolderOfTheLabelGoesOnceAndTheStatusSaysWhetherAllWent) {
  struct Case { std::map<wchar_t, std::wstring> labels; std::vector<int> ejected; int status; };
  const Case cases[] = {
      {{{L'E', L"backup"}, {L'C', L"SYSTEM"}}, {2}, 0},
      {{{L'E', L"BACKUP"}, {L'F', L"Backup"}}, {2, 9}, 2},  // the card refuses
      {{{L'C', L"BACKUP"}}, {}, 1},                        // nothing removable holds it
      {{{L'Z', L"BACKUP"}}, {}, 1},                        // a share is not asked
  };
  for (const Case& c : cases) {
    FakeDeviceTree tree(kMachine);
    LabelledStorage storage(tree, c.labels);
    CountingPreparation none;
    EveryKindRemoval removal(tree, storage, SettingsRecord{}.m_nDeviceKind, SystemNamesFor(5), none);
    removal.RemoveDrivesHolders(DrivesLabelled(storage, L"Backup"));
    const RemovalTally tally = removal.Tally();
    EXPECT_EQ(tree.EjectedLines(), c.ejected);
    EXPECT_EQ(ExitStatusForEveryTarget(tally.requests, tally.successes), c.status);
  }
}

TEST(MountFolder, IsTakenLikeTheLetterOfItsVolume) {
  FakeDeviceTree tree(kMachine);
  LabelledStorage storage(tree, {});
  EXPECT_EQ(DriveOfMountFolder(storage, L"C:\\mnt\\stick"), L'E');
  EXPECT_EQ(DriveOfMountFolder(storage, L"C:\\mnt\\stick\\"), L'E');
  EXPECT_EQ(DriveOfMountFolder(storage, L"C:\\mnt\\lost"), std::nullopt) << "a volume without a letter";
  EXPECT_EQ(DriveOfMountFolder(storage, L"C:\\mnt\\none"), std::nullopt);
}

TEST(RemovalReason, NamesWhatWasMissingOrTheRefusalThatStands) {
  using T = RemovalTarget;
  struct Case {
    T target; bool placeFound; std::vector<EjectAnswer> answers; std::optional<PromptLine> reason;
    std::vector<CardRefusal> cards = {}; unsigned cardRequests = 0;
  };
  const Case cases[] = {
      {T::Name, true, {}, PromptLine{IDS_CL_NO_DEVICE, L"arg", {}}},
      {T::Drive, false, {}, PromptLine{IDS_CL_NO_DRIVE, L"arg", {}}},
      {T::Drive, true, {}, PromptLine{IDS_CL_NO_HOLDER, L"arg", {}}},
      {T::Label, false, {}, PromptLine{IDS_CL_NO_LABEL, L"arg", {}}},
      {T::Folder, false, {}, PromptLine{IDS_CL_NO_FOLDER, L"arg", {}}},
      {T::Name, true, {{1, L"A", winvalues::kCrRemoveVetoed}}, std::nullopt},
      {T::Name, true, {{1, L"A", 0x33}, {2, L"B", winvalues::kCrRemoveVetoed}}, PromptLine{IDS_CL_CR_ACCESS_DENIED, L"A", {}}},
      {T::Name, true, {{1, L"A", winvalues::kCrFailure}, {1, L"A", 0x0D}}, PromptLine{IDS_CL_CR_GONE, L"A", {}}},
      // Gone before its name was read: told by what was typed, not as "Unknown Device".
      {T::Label, true, {{1, L"Unknown Device", 0x0D}}, PromptLine{IDS_CL_CR_GONE, L"arg", {}}},
      {T::Name, true, {{1, L"A", 0x28}}, PromptLine{IDS_CL_CR_NOT_DISABLEABLE, L"A", {}}},
      {T::Name, true, {{1, L"A", 0x3B}}, PromptLine{IDS_CL_CR_OTHER, L"A", 0x3B}},
      // A card in use is a veto, told with its holder; one refused is told with its error.
      {T::Drive, true, {}, std::nullopt, {}, 1},
      {T::Drive, true, {}, PromptLine{IDS_CL_CARD_REFUSED, L"SD (H:)", 50},
       {{L"SD (H:)", {MediumOutcome::Failed, 50}}}, 1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(RemovalFailureReason(c.target, L"arg", c.placeFound, c.answers, c.cards,
                                   static_cast<unsigned>(c.answers.size()) + c.cardRequests),
              c.reason);
}

TEST(WhatIf, WalksTheRemovalAndAsksNothing) {
  FakeDeviceTree live(kMachine);
  EjectRecordingTree tree(live, EjectRecordingTree::Requests::Withhold);
  CountingPreparation none;
  TreeDrives drives(live, {});
  EveryKindRemoval removal(tree, drives, SettingsRecord{}.m_nDeviceKind, SystemNamesFor(5), none);
  removal.RemoveByName(L"*stick", nullptr, RemovalStartedBy::CommandLine);
  std::set<DevNode> nodes;
  for (const EjectAnswer& answer : tree.Answers()) nodes.insert(answer.node);
  EXPECT_EQ(nodes, (std::set<DevNode>{2, 6})) << "both sticks";
  EXPECT_TRUE(live.ejects().empty());
}

TEST(DeviceRemoval, PatternsHoldOnTheCommandLineOnlyNotForStoredNames) {
  FakeDeviceTree tree(kMachine);
  CountingPreparation none;
  DeviceRemoval removal(tree, 0xFF, SystemNamesFor(5), none);
  EXPECT_FALSE(removal.FindAndEject(L"Hub St?ck", nullptr, RemovalStartedBy::Hotkey));
  EXPECT_TRUE(removal.FindAndEject(L"Hub St?ck", nullptr, RemovalStartedBy::CommandLine));
  EXPECT_EQ(tree.EjectedLines(), std::vector<int>{6});
}

}  // namespace
