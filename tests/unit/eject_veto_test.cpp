// A vetoed removal: what the removal records of it, who is named as holding the device,
// what the user is told, and where the command line tells it.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "app/StartupMode.h"
#include "commandline/CommandLineRemoval.h"
#include "devices/DeviceRemoval.h"
#include "devices/HolderClosing.h"
#include "pnp/SystemNames.h"
#include "devices/VetoHolder.h"
#include "devices/VetoMessage.h"
#include "fakes/FakeDeviceTree.h"
#include "fakes/UnansweredDrives.h"
#include "fakes/RecordingPrompter.h"
#include "resources/resource.h"
#include "settings/SettingsRecord.h"
#include "SimulatedSystemLog.h"

using namespace winvalues;

namespace {

class NoPreparation : public StorageEjectPreparation {
 public:
  void PrepareStorageEject() override {}
};

// A stick whose disk a program holds, and a free one beside it.
constexpr const char* kHeldAndFree = R"(
usb desc="USB 大容量記憶装置" id="USB\\VID_0781&PID_5581\\4C530001" removable disableable
  diskdrive friendly="SanDisk Cruzer USB Device" id="USBSTOR\\DISK&VEN_SANDISK\\4C530001&0" vetoer="\\Device\\HarddiskVolume3\\Windows\\System32\\notepad.exe" vetoer-pid=4242
    volume desc="汎用ボリューム"
usb desc="USB 大容量記憶装置" id="USB\\VID_056E&PID_6008\\A1" removable disableable
  diskdrive friendly="ELECOM MF-AU USB Device" id="USBSTOR\\DISK&VEN_ELECOM\\A1&0"
    volume desc="汎用ボリューム"
)";

const std::wstring kHeldUsb = L"USB\\VID_0781&PID_5581\\4C530001";
const std::wstring kHeldDisk = L"USBSTOR\\DISK&VEN_SANDISK\\4C530001&0";

struct Held {
  explicit Held(const char* text = kHeldAndFree) : tree(text), removal(tree, 0x3F, SystemNamesFor(10), preparation) {}
  FakeDeviceTree tree;
  NoPreparation preparation;
  DeviceRemoval removal;
  tag_device_hotkey_info registration;
};

}  // namespace

TEST(EjectVetoRecord, VetoedRequestNamesTheDeviceWhyAndEveryNodeBelowIt) {
  Held held;
  EXPECT_TRUE(held.removal.FindAndEject(L"USB 大容量記憶装置", &held.registration, RemovalStartedBy::Hotkey))
      << "the free stick goes";
  EXPECT_EQ(held.registration.reject_times, 1);
  ASSERT_EQ(held.removal.Vetoes().size(), 1u);
  const VetoedRequest& vetoed = held.removal.Vetoes()[0];
  EXPECT_EQ(vetoed.node, 2u);
  EXPECT_EQ(vetoed.deviceName, L"SanDisk Cruzer USB Device") << "a storage node goes by its disk";
  EXPECT_EQ(vetoed.veto, (EjectVeto{kPnpVetoOutstandingOpen, kHeldDisk}));
  ASSERT_EQ(vetoed.instanceIds.size(), 3u);
  EXPECT_EQ(vetoed.instanceIds[0], kHeldUsb);
  EXPECT_EQ(vetoed.instanceIds[1], kHeldDisk);

  const auto& events = held.tree.simulated().WrittenVetoEvents();
  ASSERT_EQ(events.size(), 1u) << "one event 225 for the one veto";
  EXPECT_EQ(events[0].deviceInstance, kHeldDisk);
  EXPECT_EQ(events[0].processId, 4242u);
  EXPECT_EQ(ChooseVetoHolder(events, vetoed.instanceIds, 0),
            (VetoHolder{L"notepad.exe", 4242}));
}

TEST(EjectVetoRecord, StorageGoesByItsDiskOnEveryLanguageOfWindows) {
  // The description is localized; the service is not.
  Held held(R"(
usb desc="USB Mass Storage Device" service="USBSTOR" id="USB\\VID_0781&PID_5581\\EN1" removable disableable
  diskdrive friendly="SanDisk Ultra USB Device" id="USBSTOR\\DISK&VEN_SANDISK\\EN1&0" vetoer="\\Device\\HarddiskVolume3\\Windows\\explorer.exe" vetoer-pid=2020
    volume desc="Generic volume"
)");
  EXPECT_FALSE(held.removal.FindAndEject(L"USB 大容量記憶装置", &held.registration, RemovalStartedBy::Hotkey));
  ASSERT_EQ(held.removal.Vetoes().size(), 1u);
  EXPECT_EQ(held.removal.Vetoes()[0].deviceName, L"SanDisk Ultra USB Device");
}

TEST(EjectVetoRecord, PlainVetoWritesNoEventAndFailuresAreNoVetoes) {
  // "Disk" is a leaf and a first child: its parent is met twice, and asked once.
  Held held(R"(
usb desc="S" id="USB\\A" removable disableable eject=veto
  diskdrive friendly="Disk"
usb desc="S" id="USB\\B" removable disableable eject=fail
  diskdrive friendly="Disk"
)");
  EXPECT_FALSE(held.removal.FindAndEject(L"Disk", &held.registration, RemovalStartedBy::Hotkey));
  EXPECT_EQ(held.removal.Tally().requests, 2u);
  ASSERT_EQ(held.removal.Vetoes().size(), 1u);
  EXPECT_EQ(held.removal.Vetoes()[0].veto, (EjectVeto{kPnpVetoOutstandingOpen, L"USB\\A"}));
  EXPECT_EQ(held.removal.Vetoes()[0].deviceName, L"S") << "any other node by its own name";
  EXPECT_TRUE(held.tree.simulated().WrittenVetoEvents().empty());
}

TEST(EjectVetoRecord, RemovingTheVetoerFromTheFileFreesTheDevice) {
  const std::string heldText = kHeldAndFree;
  std::string freed = heldText;
  const std::size_t at = freed.find(" vetoer=");
  freed.erase(at, freed.find('\n', at) - at);
  Held held(freed.c_str());
  EXPECT_TRUE(held.removal.FindAndEject(L"SanDisk Cruzer USB Device", &held.registration,
                                        RemovalStartedBy::Hotkey));
  EXPECT_TRUE(held.removal.Vetoes().empty());
}

namespace {

constexpr std::uint64_t kVetoTime = 133'000'000'000'000'000ull;
constexpr std::uint64_t kSecond = 10'000'000ull;

VetoEvent Event(std::uint64_t time, std::uint32_t pid, const std::wstring& device,
                const std::wstring& program = L"\\Device\\HarddiskVolume3\\Tools\\editor.exe") {
  return VetoEvent{time, pid, program, device};
}

struct HolderCase {
  const char* label;
  std::vector<VetoEvent> newestFirst;
  std::optional<VetoHolder> expected;
};

void PrintTo(const HolderCase& c, std::ostream* os) { *os << c.label; }

class HolderChoice : public testing::TestWithParam<HolderCase> {};

}  // namespace

TEST_P(HolderChoice, NewestEventOfTheVetoedNodeOrBelowNamesTheHolder) {
  const std::vector<std::wstring> vetoed{kHeldUsb, kHeldDisk, L"STORAGE\\VOLUME\\1"};
  EXPECT_EQ(ChooseVetoHolder(GetParam().newestFirst, vetoed, kVetoTime), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    EventsOfTheLastMinute, HolderChoice,
    testing::Values(
        HolderCase{"NoEvent", {}, std::nullopt},
        HolderCase{"AnotherDevicesEvent", {Event(kVetoTime + kSecond, 900, L"USB\\VID_056E&PID_6008\\A1")},
                   std::nullopt},
        HolderCase{"OlderThanTheRemoval", {Event(kVetoTime - kSecond, 900, kHeldUsb)}, std::nullopt},
        HolderCase{"SystemProcessNamesNobody", {Event(kVetoTime + kSecond, 4, kHeldUsb, L"System")},
                   std::nullopt},
        HolderCase{"TheVetoedNodeItself", {Event(kVetoTime + kSecond, 900, kHeldUsb)},
                   VetoHolder{L"editor.exe", 900}},
        HolderCase{"TheDiskBelowTheVetoedUsbNode",
                   {Event(kVetoTime + kSecond, 4242, L"usbstor\\disk&ven_sandisk\\4c530001&0",
                          L"\\Device\\HarddiskVolume3\\Windows\\System32\\notepad.exe")},
                   VetoHolder{L"notepad.exe", 4242}},
        HolderCase{"NewestOfSeveralWinsWhateverTheOrder",
                   {Event(kVetoTime + kSecond, 100, kHeldDisk),
                    Event(kVetoTime + 2 * kSecond, 200, kHeldUsb),
                    Event(kVetoTime + 3 * kSecond, 300, L"USB\\OTHER\\1")},
                   VetoHolder{L"editor.exe", 200}},
        HolderCase{"NewestIsTheSystemOlderIsAProgram",
                   {Event(kVetoTime + 2 * kSecond, 4, kHeldDisk, L"System"),
                    Event(kVetoTime + kSecond, 900, kHeldDisk)},
                   std::nullopt}),
    [](const testing::TestParamInfo<HolderCase>& each) { return each.param.label; });

namespace {

// Answers from a script, one answer per look.
class ScriptedLog : public VetoEventLog {
 public:
  std::optional<std::vector<VetoEvent>> RecentVetoEvents(std::uint32_t) override {
    ++looks;
    if (answers.empty()) return std::vector<VetoEvent>{};
    auto answer = answers.front();
    answers.erase(answers.begin());
    return answer;
  }
  std::vector<std::optional<std::vector<VetoEvent>>> answers;
  int looks = 0;
};

// Time for `left` pauses, then none.
struct PausesClock : VetoLookClock {
  explicit PausesClock(int pauses) : left(pauses) {}
  std::uint32_t TimeLeftMs() override { return left >= 0 ? 100 : 0; }
  bool PauseThenGoOn() override { return --left >= 0; }
  int left;
};

}  // namespace

TEST(HolderLookUp, LooksAgainUntilTheEventIsWrittenOrTimeIsUp) {
  const std::vector<std::wstring> vetoed{kHeldUsb, kHeldDisk};
  ScriptedLog late;
  late.answers = {std::vector<VetoEvent>{}, std::vector<VetoEvent>{},
                  std::vector<VetoEvent>{Event(kVetoTime + kSecond, 77, kHeldDisk)}};
  PausesClock plenty(9), three(3), more(9);
  EXPECT_EQ(FindVetoHolder(late, vetoed, kVetoTime, plenty), (VetoHolder{L"editor.exe", 77}));
  EXPECT_EQ(late.looks, 3);

  ScriptedLog never;
  EXPECT_EQ(FindVetoHolder(never, vetoed, kVetoTime, three), std::nullopt);
  EXPECT_EQ(never.looks, 4);

  ScriptedLog unreadable;
  unreadable.answers = {std::nullopt};
  EXPECT_EQ(FindVetoHolder(unreadable, vetoed, kVetoTime, more), std::nullopt);
  EXPECT_EQ(unreadable.looks, 1) << "a log that cannot be read is not asked again";
}

TEST(HolderLookUp, TheSystemsOwnEventOrNoDeviceEndsTheLookAtOnce) {
  for (const auto& [vetoed, looks] : {std::pair{std::vector<std::wstring>{kHeldUsb, kHeldDisk}, 1},
                                      std::pair{std::vector<std::wstring>{}, 0}}) {
    ScriptedLog log;
    log.answers = {std::vector<VetoEvent>{Event(kVetoTime + kSecond, kSystemProcessId, kHeldDisk, L"System")}};
    PausesClock plenty(19);
    EXPECT_EQ(FindVetoHolder(log, vetoed, kVetoTime, plenty), std::nullopt);
    EXPECT_EQ(log.looks, looks) << vetoed.size();
  }
}

TEST(HolderLookUp, ProgramIsNamedByItsFileName) {
  EXPECT_EQ(ProgramFileName(L"\\Device\\HarddiskVolume3\\Windows\\explorer.exe"), L"explorer.exe");
  EXPECT_EQ(ProgramFileName(L"C:/tools/x.exe"), L"x.exe");
  EXPECT_EQ(ProgramFileName(L"System"), L"System");
}

TEST(SystemLogFile, EventsSurviveTheirLinesAndBadLinesAreLeftOut) {
  const VetoEvent event{kVetoTime, 4242, L"\\Device\\HarddiskVolume3\\メモ帳.exe", kHeldDisk};
  const std::string text = "garbage\n" + FormatVetoEventLine(event) + "1\t2\t3\n" +
                           "x\t1\tp\td\n" + FormatVetoEventLine(event);
  const auto events = ParseVetoEventLines(text);
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0], event);
}

TEST(SystemLogFile, OnlyTheProgramsQueryIsAnsweredWithTheEventsOfItsWindow) {
  const std::wstring head =
      L"*[System[Provider[@Name='Microsoft-Windows-Kernel-PnP'] and (EventID=225) and "
      L"TimeCreated[timediff(@SystemTime) <= ";
  EXPECT_EQ(VetoQueryWindowMs(head + L"60000]]]"), 60000u);
  for (const std::wstring& other : std::vector<std::wstring>{
           head + L"]]]", head + L"6e4]]]", head + L"60000]]", L"*", L"",
        L"*[System[Provider[@Name='Microsoft-Windows-Kernel-PnP'] and (EventID=226) and "
        L"TimeCreated[timediff(@SystemTime) <= 60000]]]"})
    EXPECT_EQ(VetoQueryWindowMs(other), std::nullopt) << std::string(other.begin(), other.end());

  const std::uint64_t now = kVetoTime;
  const std::vector<VetoEvent> logged{Event(now - 120 * kSecond, 1, kHeldUsb),
                                      Event(now - 30 * kSecond, 2, kHeldUsb),
                                      Event(now - 10 * kSecond, 3, kHeldUsb)};
  const auto newest = EventsWithin(logged, now, 60000, true);
  ASSERT_EQ(newest.size(), 2u);
  EXPECT_EQ(newest[0].processId, 3u);
  EXPECT_EQ(EventsWithin(logged, now, 60000, false)[0].processId, 2u);
}

namespace {

struct MessageCase {
  const char* label;
  EjectVeto veto;
  std::optional<VetoHolder> holder;
  PromptLine reason;
  unsigned advice;
};

void PrintTo(const MessageCase& c, std::ostream* os) { *os << c.label; }

class VetoMessageText : public testing::TestWithParam<MessageCase> {};

PromptLine Plain(unsigned id) { return {id, std::nullopt, std::nullopt}; }
PromptLine Named(unsigned id, const std::wstring& name) { return {id, name, std::nullopt}; }

}  // namespace

TEST_P(VetoMessageText, DeviceThenReasonThenWhatToDo) {
  const MessageCase& c = GetParam();
  const auto lines = VetoMessageLines(L"SanDisk Cruzer USB Device", c.veto, c.holder);
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0], Named(IDS_VETO_DEVICE, L"SanDisk Cruzer USB Device"));
  EXPECT_EQ(lines[1], c.reason);
  EXPECT_EQ(lines[2], Plain(c.advice));
}

INSTANTIATE_TEST_SUITE_P(
    EachVetoType, VetoMessageText,
    testing::Values(
        MessageCase{"HolderFromTheLog", {kPnpVetoOutstandingOpen, kHeldDisk}, VetoHolder{L"notepad.exe", 4242},
                    PromptLine{IDS_VETO_HELD_BY_PROGRAM, L"notepad.exe", 4242}, IDS_VETO_ADVICE_CLOSE},
        MessageCase{"OpenHandleWithoutHolder", {kPnpVetoOutstandingOpen, kHeldDisk}, std::nullopt,
                    Plain(IDS_VETO_IN_USE), IDS_VETO_ADVICE_CLOSE},
        MessageCase{"WindowsApp", {kPnpVetoWindowsApp, L"C:\\Tools\\sync.exe"}, std::nullopt,
                    Named(IDS_VETO_WINDOWS_APP, L"C:\\Tools\\sync.exe"), IDS_VETO_ADVICE_CLOSE},
        MessageCase{"WindowsAppWithoutName", {kPnpVetoWindowsApp, L""}, std::nullopt,
                    Plain(IDS_VETO_IN_USE), IDS_VETO_ADVICE_CLOSE},
        MessageCase{"Service", {kPnpVetoWindowsService, L"WSearch"}, std::nullopt,
                    Named(IDS_VETO_WINDOWS_SERVICE, L"WSearch"), IDS_VETO_ADVICE_CLOSE},
        MessageCase{"Driver", {kPnpVetoDriver, L"usbstor"}, std::nullopt,
                    Named(IDS_VETO_DRIVER, L"usbstor"), IDS_VETO_ADVICE_RETRY},
        MessageCase{"LegacyDriver", {kPnpVetoLegacyDriver, L"oldflt"}, std::nullopt,
                    Named(IDS_VETO_LEGACY_DRIVER, L"oldflt"), IDS_VETO_ADVICE_RETRY},
        MessageCase{"PendingClose", {kPnpVetoPendingClose, kHeldDisk}, std::nullopt,
                    Plain(IDS_VETO_PENDING_CLOSE), IDS_VETO_ADVICE_RETRY},
        MessageCase{"LegacyDevice", {kPnpVetoLegacyDevice, kHeldDisk}, std::nullopt,
                    Plain(IDS_VETO_LEGACY_DEVICE), IDS_VETO_ADVICE_RETRY},
        MessageCase{"DeviceRefused", {kPnpVetoDevice, kHeldDisk}, std::nullopt,
                    Plain(IDS_VETO_DEVICE_REFUSED), IDS_VETO_ADVICE_RETRY},
        MessageCase{"IllegalRequest", {kPnpVetoIllegalDeviceRequest, kHeldDisk}, std::nullopt,
                    Plain(IDS_VETO_ILLEGAL_REQUEST), IDS_VETO_ADVICE_RETRY},
        MessageCase{"InsufficientPower", {kPnpVetoInsufficientPower, L""}, std::nullopt,
                    Plain(IDS_VETO_INSUFFICIENT_POWER), IDS_VETO_ADVICE_RETRY},
        MessageCase{"NonDisableable", {kPnpVetoNonDisableable, kHeldDisk}, std::nullopt,
                    Plain(IDS_VETO_NON_DISABLEABLE), IDS_VETO_ADVICE_RETRY},
        MessageCase{"InsufficientRights", {kPnpVetoInsufficientRights, L""}, std::nullopt,
                    Plain(IDS_VETO_INSUFFICIENT_RIGHTS), IDS_VETO_ADVICE_RETRY},
        MessageCase{"AlreadyRemoved", {kPnpVetoAlreadyRemoved, kHeldDisk}, std::nullopt,
                    Plain(IDS_VETO_ALREADY_REMOVED), IDS_VETO_ADVICE_RETRY},
        MessageCase{"Unknown", {kPnpVetoTypeUnknown, L""}, std::nullopt, Plain(IDS_VETO_UNKNOWN),
                    IDS_VETO_ADVICE_RETRY},
        MessageCase{"TypeBeyondTheList", {99, L"x"}, std::nullopt, Plain(IDS_VETO_UNKNOWN),
                    IDS_VETO_ADVICE_RETRY}),
    [](const testing::TestParamInfo<MessageCase>& each) { return each.param.label; });

TEST(HolderClose, OfferedOnlyForAProgramOfThisSessionWithAWindowThatIsNotTheShell) {
  const HolderProcessView mine{true, true};
  EXPECT_TRUE(MayOfferToClose({L"notepad.exe", 4242}, mine));
  EXPECT_FALSE(MayOfferToClose({L"EXPLORER.EXE", 2044}, mine));
  EXPECT_FALSE(MayOfferToClose({L"System", 4}, mine));
  EXPECT_FALSE(MayOfferToClose({L"svchost.exe", 912}, {false, true}));
  EXPECT_FALSE(MayOfferToClose({L"backup.exe", 4243}, {true, false}));
}

namespace {

// Ends at the wait numbered `endsAt`; its user stops after wait `stopsAt` (-1: never).
struct ScriptedHolder final : HolderProcess, RemovalStop {
  ScriptedHolder(bool r, int e, int s) : refuses(r), endsAt(e), stopsAt(s) {}
  bool AskToClose() override { return !refuses; }
  bool WaitForEnd(std::uint32_t ms) override { return (waitedMs += ms, ++waits == endsAt); }
  bool StopAsked() const override { return waits == stopsAt; }
  bool refuses;
  int endsAt, stopsAt, waits = 0;
  std::uint32_t waitedMs = 0;
};

}  // namespace

TEST(HolderClose, AskedOnceThenWaitedForUntilItEndsTheTimeIsUpOrTheUserStops) {
  for (const auto& [refuses, endsAt, stopsAt, result, waitedMs] :
       std::initializer_list<std::tuple<bool, int, int, HolderClose, std::uint32_t>>{
           {false, 3, -1, HolderClose::Ended, 300},
           {false, -1, -1, HolderClose::StillRunning, 15000},
           {true, -1, -1, HolderClose::Refused, 0},
           {false, -1, 2, HolderClose::Stopped, 200}}) {
    ScriptedHolder holder(refuses, endsAt, stopsAt);
    EXPECT_EQ(CloseHolder(holder, holder), result);
    EXPECT_EQ(holder.waitedMs, waitedMs);
  }
}

TEST(CommandLineVeto, VetoIsToldNotBoxedAndTheStatusSaysRefused) {
  for (int dispRejectErr : {0, 1}) {
    SCOPED_TRACE(dispRejectErr);
    FakeDeviceTree tree(kHeldAndFree);
    NoPreparation preparation;
    RecordingPrompter prompter;
    SettingsRecord settings;
    settings.m_bDispRejectErr = dispRejectErr;
    std::vector<std::vector<PromptLine>> told;
    const CommandLineVetoes vetoes{
        [](const VetoedRequest& vetoed) { return ChooseVetoHolder({Event(kVetoTime, 4242, kHeldDisk)}, vetoed.instanceIds, 0); },
        [&told](const std::vector<PromptLine>& lines) { told.push_back(lines); }};
    EjectRecordingTree recording(tree, EjectRecordingTree::Requests::Ask);
    UnansweredDrives drives;
    EveryKindRemoval removal(recording, drives, settings.m_nDeviceKind, SystemNamesFor(10), preparation);
    RemovalRequest request;
    request.value = L"SanDisk Cruzer USB Device";
    const RemovalTally tally = RemoveRequested(request, removal, recording, drives, &vetoes).tally;
    ReportNothingRemoved(request.value, settings, tally, prompter);
    EXPECT_EQ(ExitStatusForRemoval(tally), 2);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0][1], (PromptLine{IDS_VETO_HELD_BY_PROGRAM, L"editor.exe", 4242}));
    EXPECT_TRUE(prompter.linePrompts().empty()) << "a script is never held by a veto box";
    EXPECT_EQ(prompter.prompts().size(), dispRejectErr ? 1u : 0u) << "message 110 as before";
  }
}
