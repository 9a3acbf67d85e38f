// The removal command line of people and scripts: patterns, labels, mount folders, the
// parse of its switches, the reason of a failure, "/whatif" and the wait.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "app/CommandLineRequest.h"
#include "app/RemovalRetries.h"
#include "common/Wildcard.h"
#include "devices/CommandLineRemoval.h"
#include "devices/EjectRecordingTree.h"
#include "devices/LabelRemoval.h"
#include "devices/VolumeLabels.h"
#include "fakes/RecordingPrompter.h"
#include "fakes/TreeDriveStorage.h"
#include "resources/resource.h"
#include "settings/SettingsRecord.h"

namespace {

wchar_t Upper(wchar_t c) { return (c >= L'a' && c <= L'z') ? c - L'a' + L'A' : c; }

TEST(Wildcard, MatchesAsFileNamesWithoutCaseOfLatinLetters) {
  const std::tuple<const wchar_t*, const wchar_t*, bool> cases[] = {
      {L"SanDisk*", L"SanDisk Cruzer USB Device", true}, {L"sandisk*", L"SANDISK", true},
      {L"*USB*", L"Generic USB Reader", true},           {L"?tick", L"Stick", true},
      {L"?tick", L"tick", false},                        {L"St?ck", L"Stck", false},
      {L"*", L"", true},                                 {L"", L"x", false},
      {L"a*b*c", L"aXbYbZc", true},                      {L"a*b*c", L"aXbYcZ", false},
      {L"*ディスク", L"USB ディスク", true},             {L"*ﾃﾞｨｽｸ", L"USB ディスク", false},
      {L"**?", L"", false},                              {L"a*", L"b", false},
  };
  for (const auto& [pattern, text, expected] : cases)
    EXPECT_EQ(MatchesWildcard(pattern, text, &Upper), expected) << pattern << L" / " << text;
}

TEST(Wildcard, WorkStaysWithinPatternTimesNameForPatternsThatWouldBacktrack) {
  const std::wstring name(459, L'a');
  for (const std::wstring& pattern : {std::wstring(3000, L'*') + L"b",
                                      std::wstring(1000, L'*') + std::wstring(2000, L'?'),
                                      [] { std::wstring p; for (int i = 0; i < 600; ++i) p += L"*a"; return p + L"b"; }()}) {
    std::size_t steps = 0;
    EXPECT_FALSE(MatchesWildcard(pattern, name, &Upper, &steps));
    EXPECT_LE(steps, (pattern.size() + 1) * (name.size() + 1));
  }
}

TEST(VolumeLabel, ComparedWithoutCaseAsWindowsComparesLabels) {
  const std::tuple<const wchar_t*, const wchar_t*, bool> cases[] = {
      {L"BACKUP", L"backup", true},  {L"Backup", L"BACKUP ", false}, {L"ＢＡＣＫＵＰ", L"ｂａｃｋｕｐ", true},
      {L"ÉTÉ", L"été", true},        {L"×", L"÷", false},           {L"バックアップ", L"バックアップ", true},
      {L"", L"", true},
  };
  for (const auto& [a, b, equal] : cases) EXPECT_EQ(VolumeLabelsEqual(a, b), equal) << a << L" / " << b;
}

RemovalRequest Req(RemovalTarget target = RemovalTarget::Name, std::wstring value = L"",
                   bool unknown = false, bool whatIf = false,
                   std::optional<unsigned> wait = std::nullopt) {
  return {target, std::move(value), unknown, whatIf, wait};
}

TEST(RemovalCommandLine, ParsesTargetsSwitchesAndTellsWhatIsWrong) {
  using T = RemovalTarget;
  struct Case {
    std::vector<std::wstring> arguments;
    RemovalRequest request;
    std::optional<unsigned> problem;  // its string id
  };
  const Case cases[] = {
      {{L"Stick", L"/WhatIf"}, Req(T::Name, L"Stick", false, true, {}), {}},
      {{L"/wait:30", L"e:\\"}, Req(T::Drive, L"E:", false, false, 30u), {}},
      {{L"-label:Backup", L"/wait:0"}, Req(T::Label, L"Backup", false, false, 0u), {}},
      {{L"C:\\mnt\\backup"}, Req(T::Folder, L"C:\\mnt\\backup"), {}},
      {{L"/bogus"}, Req(T::Name, L"/bogus", true), {}},
      {{L"/bogus", L"E:"}, Req(T::Name, L"/bogus", true), IDS_CL_UNKNOWN_SWITCH},
      {{L"E:", L"-x"}, Req(T::Drive, L"E:"), IDS_CL_UNKNOWN_SWITCH},
      {{L"E:", L"Stick"}, Req(T::Drive, L"E:"), IDS_CL_TWO_SELECTORS},
      {{L"/label:A", L"/label:B"}, Req(T::Label, L"A"), IDS_CL_TWO_SELECTORS},
      {{L"/wait:", L"E:"}, Req(), IDS_CL_MISSING_VALUE},
      {{L"/wait", L"E:"}, Req(), IDS_CL_MISSING_VALUE},
      {{L"/label:"}, Req(), IDS_CL_MISSING_VALUE},
      {{L"E:", L"/wait:-1"}, Req(T::Drive, L"E:"), IDS_CL_BAD_WAIT},
      {{L"E:", L"/wait:99999999999"}, Req(T::Drive, L"E:"), IDS_CL_BAD_WAIT},
      {{L"E:", L"/wait:86401"}, Req(T::Drive, L"E:"), IDS_CL_BAD_WAIT},
      {{L"/whatif"}, Req(T::Name, L"", false, true), IDS_CL_NO_SELECTOR},
      {{std::wstring(30000, L'x')}, Req(), IDS_CL_NAME_TOO_LONG},
      {{L"/label:" + std::wstring(30000, L'x')}, Req(), IDS_CL_LABEL_TOO_LONG},
      {{L"C:\\" + std::wstring(30000, L'x')}, Req(), IDS_CL_FOLDER_TOO_LONG},
  };
  for (const Case& c : cases) {
    const ParsedCommandLine parsed = ParseRemovalCommandLine(c.arguments);
    const std::wstring shown = c.arguments.front().substr(0, 20);
    EXPECT_FALSE(parsed.usage) << shown;
    EXPECT_EQ(parsed.request, c.request) << shown;
    EXPECT_EQ(parsed.problem ? std::optional(parsed.problem->textId) : std::nullopt, c.problem) << shown;
  }
  for (const wchar_t* usage : {L"/?", L"-?", L"/HELP", L"-h"}) {
    EXPECT_TRUE(ParseRemovalCommandLine({L"/wait:", usage}).usage) << usage;
    EXPECT_FALSE(ParseRemovalCommandLine({L"/wait:", usage}).problem) << usage;
  }
}

// Labels and mount points on the machine of the removal tests: E: the stick (also
// mounted at C:\mnt\stick), F: the card's disk, C: the fixed disk, Z: a share.
class LabelledStorage : public TreeDriveStorage {
 public:
  LabelledStorage(FakeDeviceTree& tree, std::map<wchar_t, std::wstring> labels)
      : TreeDriveStorage(tree, {{L'E', {winvalues::kDriveRemovable, L"STORAGE\\VOLUME\\STICK"}},
                                {L'F', {winvalues::kDriveFixed, L"STORAGE\\VOLUME\\CARD"}},
                                {L'C', {winvalues::kDriveFixed, L"STORAGE\\VOLUME\\FIXED"}},
                                {L'Z', {winvalues::kDriveRemote, L""}}}),
        labels_(std::move(labels)) {}
  std::optional<std::wstring> VolumeLabel(wchar_t letter) override {
    const auto found = labels_.find(letter);
    return found == labels_.end() ? std::nullopt : std::optional(found->second);
  }
  std::optional<std::wstring> MountedVolume(const std::wstring& path) override {
    static const std::map<std::wstring, std::wstring> mounts = {
        {L"E:\\", L"\\\\?\\Volume{e}\\"}, {L"C:\\mnt\\stick\\", L"\\\\?\\Volume{e}\\"},
        {L"C:\\", L"\\\\?\\Volume{c}\\"}, {L"C:\\mnt\\lost\\", L"\\\\?\\Volume{x}\\"}};
    const auto found = mounts.find(path);
    return found == mounts.end() ? std::nullopt : std::optional(found->second);
  }

 private:
  std::map<wchar_t, std::wstring> labels_;
};

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

class NoPreparation : public StorageEjectPreparation {
 public:
  void PrepareStorageEject() override {}
};

TEST(LabelRemoval, EachHolderOfTheLabelGoesOnceAndTheStatusSaysWhetherAllWent) {
  struct Case {
    std::map<wchar_t, std::wstring> labels;
    std::vector<int> ejected;
    int status;
  };
  const Case cases[] = {
      {{{L'E', L"backup"}, {L'C', L"SYSTEM"}}, {2}, 0},
      {{{L'E', L"BACKUP"}, {L'F', L"Backup"}}, {2, 9}, 2},  // the card refuses
      {{{L'C', L"BACKUP"}}, {}, 1},                        // nothing removable holds it
      {{{L'Z', L"BACKUP"}}, {}, 1},                        // a share is not asked
  };
  for (const Case& c : cases) {
    FakeDeviceTree tree(kMachine);
    LabelledStorage storage(tree, c.labels);
    NoPreparation none;
    const RemovalTally tally = RemoveDrivesHolders(DrivesLabelled(storage, L"Backup"),
                                                   SystemNamesFor(5), SettingsRecord{}, tree,
                                                   storage, none);
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
  EXPECT_TRUE(LooksLikeMountFolder(L"c:\\x"));
  for (const wchar_t* other : {L"E:\\", L"E:", L"Stick", L"1:\\x", L"\\\\?\\Volume{e}\\"})
    EXPECT_FALSE(LooksLikeMountFolder(other)) << other;
}

TEST(RemovalReason, NamesWhatWasMissingOrTheRefusalThatStands) {
  using T = RemovalTarget;
  struct Case {
    T target;
    bool placeFound;
    std::vector<EjectAnswer> answers;
    std::optional<PromptLine> reason;
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
      {T::Name, true, {{1, L"A", 0x28}}, PromptLine{IDS_CL_CR_NOT_DISABLEABLE, L"A", {}}},
      {T::Name, true, {{1, L"A", 0x3B}}, PromptLine{IDS_CL_CR_OTHER, L"A", 0x3B}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(RemovalFailureReason(c.target, L"arg", c.placeFound, c.answers), c.reason);
}

TEST(WhatIf, WalksTheSameRemovalAndAsksNothing) {
  std::vector<DevNode> asked[2];
  for (const auto requests : {EjectRecordingTree::Requests::Withhold, EjectRecordingTree::Requests::Ask}) {
    FakeDeviceTree live(kMachine);
    EjectRecordingTree tree(live, requests);
    NoPreparation none;
    RecordingPrompter prompter;
    RemoveDeviceByName(L"*stick", SystemNamesFor(5), SettingsRecord{}, tree, none, prompter);
    // A device that stays is met again where a real eject would have taken it away.
    auto& nodes = asked[requests == EjectRecordingTree::Requests::Ask];
    for (const EjectAnswer& answer : tree.Answers())
      if (std::find(nodes.begin(), nodes.end(), answer.node) == nodes.end()) nodes.push_back(answer.node);
    EXPECT_EQ(live.ejects().size(), requests == EjectRecordingTree::Requests::Ask ? asked[1].size() : 0u);
  }
  EXPECT_EQ(asked[0], asked[1]);
  EXPECT_EQ(asked[0], (std::vector<DevNode>{2, 6})) << "both sticks";
}

TEST(DeviceRemoval, PatternsHoldOnTheCommandLineOnlyNotForStoredNames) {
  FakeDeviceTree tree(kMachine);
  NoPreparation none;
  DeviceRemoval removal(tree, 0xFF, SystemNamesFor(5), none);
  EXPECT_FALSE(removal.FindAndEject(L"Hub St?ck", nullptr, RemovalRoad::Hotkey));
  EXPECT_TRUE(removal.FindAndEject(L"Hub St?ck", nullptr, RemovalRoad::CommandLine));
  EXPECT_EQ(tree.EjectedLines(), std::vector<int>{6});
}

class ScriptedClock : public RetryClock {
 public:
  std::uint32_t NowTick() override { return now; }
  bool Pause(std::uint32_t ms) override {
    pauses.push_back(ms);
    now += ms;
    return !stopAfterPause;
  }
  std::uint32_t now = 0xFFFFF000;  // across the tick's wrap
  std::vector<std::uint32_t> pauses;
  bool stopAfterPause = false;
};

TEST(RemovalRetries, AsksAtMostOnceASecondUntilItGoesTheTimeIsUpOrTheUserStops) {
  struct Case {
    unsigned seconds;
    std::vector<int> statuses;  // what the attempts give, in turn
    std::uint32_t attemptMs;
    bool stop;
    int status;
    std::size_t attempts;
  };
  const Case cases[] = {
      {10, {2, 2, 0}, 200, false, 0, 3},  // freed during the wait
      {3, {2, 2, 2, 2, 2, 2}, 200, false, 2, 4},  // at 0, 1, 2 and 3 s
      {3, {2, 2, 2, 2}, 1500, false, 2, 3},        // slow requests: at 0, 1.5 and 3 s
      {0, {2, 0}, 10, false, 2, 1},
      {10, {1, 0}, 10, false, 1, 1},  // nothing matched: no holder to wait for
      {10, {2, 0}, 10, true, 2, 1},   // Ctrl+C: no further request
  };
  for (const Case& c : cases) {
    ScriptedClock clock;
    clock.stopAfterPause = c.stop;
    std::size_t made = 0;
    const int status = RunWithRetries(c.seconds, clock, [&] {
      clock.now += c.attemptMs;
      return c.statuses[made++];
    });
    EXPECT_EQ(status, c.status) << c.seconds;
    EXPECT_EQ(made, c.attempts) << c.seconds;
    for (std::uint32_t pause : clock.pauses) EXPECT_EQ(pause, c.attemptMs >= 1000 ? 0u : 1000 - c.attemptMs);
  }
}

}  // namespace
