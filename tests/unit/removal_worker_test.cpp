#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <functional>
#include <string>
#include <vector>

#include "fakes/FakeProfileStore.h"
#include "fakes/RecordingPrompter.h"
#include "resident/RemovalBalloon.h"
#include "resident/RemovalJob.h"
#include "resident/RemovalWorker.h"
#include "resources/resource.h"
#include "common/WinValues.h"

#include <algorithm>
#include "settings/SettingsFile.h"

namespace {

class RemovalWorkerTest : public ::testing::Test {
 protected:
  RemovalWorkerTest() {
    state.m_aDeviceHotkeyInfo[1].name = L"USB Flash Disk";
    state.m_aDeviceHotkeyInfo[1].key = L"004";
    state.m_aDeviceHotkeyInfo[1].reject_times = 9;
    state.m_nRemoveIndex = 1;
    state.m_strRemoveDevice = L"USB Flash Disk";
  }

  // One pass of the removal as scripted: its successes and its vetoes.
  struct Pass {
    int successes = 0;
    std::vector<VetoedRequest> vetoes;
  };

  // `duringEject` runs on the worker's side while the eject requests are under way.
  unsigned Run(RemovalJob& job, int successes, const std::function<void()>& duringEject = nullptr) {
    passes.push_front({successes, {}});
    return RunPasses(job, duringEject);
  }

  // Runs the scripted `passes`, one per removal pass; a pass past the script removes nothing.
  unsigned RunPasses(RemovalJob& job, const std::function<void()>& duringEject = nullptr) {
    RemovalServices services{
        [&](const std::wstring& name, tag_device_hotkey_info& record) {
          events.push_back(L"eject " + name);
          Pass pass;
          if (!passes.empty()) {
            pass = passes.front();
            passes.pop_front();
          }
          record.reject_times += pass.successes;
          if (duringEject) duringEject();
          return RemovalOutcome{pass.successes > 0, pass.vetoes};
        },
        [&](const std::wstring& name, int count) {
          events.push_back(L"balloon " + name + L" " + std::to_wstring(count) + L" stored " +
                           store.Raw(L"REJECT_TIMES", L"004").value_or(L"-"));
        },
        file, prompter,
        [&] { events.push_back(L"settled " + store.Raw(L"REJECT_TIMES", L"004").value_or(L"-")); },
        [&](const VetoedRequest& vetoed) -> std::optional<VetoHolder> {
          events.push_back(L"holder of " + vetoed.deviceName);
          const auto known = holders.find(vetoed.deviceName);
          if (known == holders.end()) return std::nullopt;
          return known->second;
        },
        mayOfferClose,
        [&](const VetoHolder& holder, const RemovalStop&) {
          events.push_back(L"close " + holder.program);
          return closed;
        }};
    return RemoveRegisteredDevice(job, services);
  }

  unsigned Run(int successes) {
    RemovalJob job(state, settings);
    const unsigned result = Run(job, successes);
    TakeRemovalCount(state, job);
    return result;
  }

  MainWndState state;
  SettingsRecord settings;
  FakeProfileStore store;
  SettingsFile file{store};
  RecordingPrompter prompter;
  std::vector<std::wstring> events;
  std::deque<Pass> passes;
  std::map<std::wstring, VetoHolder> holders;
  std::function<bool(const VetoHolder&)> mayOfferClose;
  HolderClose closed = HolderClose::Ended;
};

VetoedRequest HeldStick(const std::wstring& name) {
  return VetoedRequest{7, name, EjectVeto{winvalues::kPnpVetoOutstandingOpen, L"USBSTOR\\DISK\\1"},
                       {L"USB\\VID_0781&PID_5581\\1", L"USBSTOR\\DISK\\1"}, std::nullopt};
}

}  // namespace

TEST_F(RemovalWorkerTest, CountIsStoredBeforeTheBalloonIsShown) {
  EXPECT_EQ(Run(1), 0u);
  EXPECT_EQ(events, (std::vector<std::wstring>{L"eject USB Flash Disk", L"settled 10",
                                               L"balloon USB Flash Disk 10 stored 10"}));
  EXPECT_TRUE(prompter.prompts().empty());
  EXPECT_EQ(state.m_aDeviceHotkeyInfo[1].reject_times, 10);
}

TEST_F(RemovalWorkerTest, CountIsStoredWithoutBalloonWhenMessagesAreOff) {
  settings.m_bDispMessage = 0;
  Run(2);
  EXPECT_EQ(store.Raw(L"REJECT_TIMES", L"004"), L"11");
  EXPECT_EQ(events.size(), 2u);
}

TEST_F(RemovalWorkerTest, FailureIsReportedOnlyWhenAskedFor) {
  Run(0);
  EXPECT_TRUE(prompter.prompts().empty());
  EXPECT_FALSE(store.Raw(L"REJECT_TIMES", L"004").has_value());

  settings.m_bDispRejectErr = 1;
  Run(0);
  ASSERT_EQ(prompter.prompts().size(), 1u);
  EXPECT_EQ(prompter.prompts()[0],
            (RecordingPrompter::Prompt{IDS_REMOVAL_FAILED, L"USB Flash Disk", IDS_ERROR_CAPTION,
                                       0x40030}));
  EXPECT_EQ(state.m_aDeviceHotkeyInfo[1].reject_times, 9);
}

TEST_F(RemovalWorkerTest, ARemovalNoRegistrationCountsStoresNothingAndStillReportsAFailure) {
  settings.m_bDispRejectErr = 1;
  state.m_nRemoveIndex = kNoRegistration;
  state.m_strRemoveDevice = L"Other Disk";
  for (int successes : {1, 0}) {
    SCOPED_TRACE(successes);
    events.clear();
    Run(successes);
    EXPECT_EQ(events, (std::vector<std::wstring>{L"eject Other Disk", L"settled -"}))
        << "no balloon, whatever a blank record would count";
    EXPECT_FALSE(store.HasSection(L"REJECT_TIMES"));
    EXPECT_EQ(state.m_aDeviceHotkeyInfo[1].reject_times, 9) << "the table is left alone";
  }
  ASSERT_EQ(prompter.prompts().size(), 1u);
  EXPECT_EQ(prompter.prompts()[0].argument, L"Other Disk");
}

TEST_F(RemovalWorkerTest, AbandonedRemovalReportsNothingAndLeavesTheTableAlone) {
  settings.m_bDispRejectErr = 1;
  for (int successes : {0, 1}) {
    SCOPED_TRACE(successes);
    events.clear();
    RemovalJob job(state, settings);
    // The window moves on meanwhile: a reloaded table, another removal's name.
    Run(job, successes, [&] {
      EXPECT_FALSE(job.StopAsked());
      EXPECT_TRUE(job.Abandon());
      EXPECT_TRUE(job.StopAsked()) << "the eject requests still to come are not made";
      state.m_aDeviceHotkeyInfo[1].reject_times = 3;
      state.m_strRemoveDevice = L"Other Disk";
    });
    TakeRemovalCount(state, job);
    EXPECT_EQ(events, (std::vector<std::wstring>{L"eject USB Flash Disk", L"settled -"}));
    EXPECT_TRUE(prompter.prompts().empty());
    EXPECT_EQ(state.m_aDeviceHotkeyInfo[1].reject_times, 3);
    state.m_strRemoveDevice = L"USB Flash Disk";
  }
}

TEST_F(RemovalWorkerTest, AbandoningComesTooLateOnceTheReportHasBegun) {
  RemovalJob job(state, settings);
  Run(job, 1);
  EXPECT_FALSE(job.Abandon());
  EXPECT_FALSE(job.Abandoned());
  EXPECT_FALSE(job.StopAsked());
  EXPECT_EQ(store.Raw(L"REJECT_TIMES", L"004"), L"10");

  RemovalJob abandoned(state, settings);
  EXPECT_TRUE(abandoned.Abandon());
  EXPECT_TRUE(abandoned.Abandon()) << "a second Yes changes nothing";
  EXPECT_FALSE(abandoned.BeginReport());
}

TEST_F(RemovalWorkerTest, CountReturnsOnlyToTheRecordItWasTakenFrom) {
  RemovalJob job(state, settings);
  job.record.reject_times = 42;
  state.m_aDeviceHotkeyInfo[1].key = L"005";  // the table was reloaded meanwhile
  TakeRemovalCount(state, job);
  EXPECT_EQ(state.m_aDeviceHotkeyInfo[1].reject_times, 9);
  state.m_aDeviceHotkeyInfo[1].key = L"004";
  TakeRemovalCount(state, job);
  EXPECT_EQ(state.m_aDeviceHotkeyInfo[1].reject_times, 42);
}

TEST_F(RemovalWorkerTest, EveryVetoIsReportedWithItsHolderWhateverTheFailureSetting) {
  holders[L"SanDisk Cruzer"] = VetoHolder{L"notepad.exe", 4242};
  for (int dispRejectErr : {0, 1}) {
    SCOPED_TRACE(dispRejectErr);
    settings.m_bDispRejectErr = dispRejectErr;
    prompter = RecordingPrompter();
    prompter.SetDefaultAnswer(winvalues::kIdCancel);
    passes = {{0, {HeldStick(L"SanDisk Cruzer")}}};
    RemovalJob job(state, settings);
    RunPasses(job);
    ASSERT_EQ(prompter.linePrompts().size(), 1u) << "the veto box, and no message 110";
    EXPECT_EQ(prompter.prompts().size(), 1u);
    const auto& box = prompter.linePrompts()[0];
    EXPECT_EQ(box.flags, 0x40035u) << "Retry and Cancel, on top";
    ASSERT_EQ(box.lines.size(), 3u);
    EXPECT_EQ(box.lines[0], (PromptLine{IDS_VETO_DEVICE, L"SanDisk Cruzer", std::nullopt}));
    EXPECT_EQ(box.lines[1], (PromptLine{IDS_VETO_HELD_BY_PROGRAM, L"notepad.exe", 4242}));
    TakeRemovalCount(state, job);
    EXPECT_EQ(state.m_aDeviceHotkeyInfo[1].reject_times, 9) << "Cancel counts nothing";
  }
}

TEST_F(RemovalWorkerTest, RetryAsksForTheSameRemovalAgainWhichThenCountsItsSuccess) {
  prompter.QueueAnswer(winvalues::kIdRetry);
  passes = {{0, {HeldStick(L"SanDisk Cruzer")}}, {1, {}}};
  RemovalJob first(state, settings);
  RunPasses(first);
  TakeRemovalCount(state, first);
  EXPECT_TRUE(first.RetryAsked());
  EXPECT_EQ(events, (std::vector<std::wstring>{L"eject USB Flash Disk", L"holder of SanDisk Cruzer",
                                               L"settled -"}))
      << "the worker ends: the next try is a removal of its own";

  RemovalJob second(state, settings);
  RunPasses(second);
  TakeRemovalCount(state, second);
  EXPECT_FALSE(second.RetryAsked());
  EXPECT_EQ(state.m_aDeviceHotkeyInfo[1].reject_times, 10);
  EXPECT_EQ(store.Raw(L"REJECT_TIMES", L"004"), L"10");
  EXPECT_EQ(prompter.linePrompts().size(), 1u);
}

TEST_F(RemovalWorkerTest, AVetoBesideASuccessIsReportedAfterTheCountIsStored) {
  prompter.SetDefaultAnswer(winvalues::kIdCancel);
  passes = {{1, {HeldStick(L"Held Stick")}}};
  RemovalJob job(state, settings);
  RunPasses(job);
  EXPECT_EQ(events, (std::vector<std::wstring>{L"eject USB Flash Disk", L"holder of Held Stick",
                                               L"settled 10", L"balloon USB Flash Disk 10 stored 10"}))
      << "the holder is looked up before the report, which no wait dialog hides";
  ASSERT_EQ(prompter.linePrompts().size(), 1u);
  EXPECT_EQ(prompter.linePrompts()[0].lines[1], (PromptLine{IDS_VETO_IN_USE, std::nullopt, std::nullopt}))
      << "no holder known: in use, without a name";
}

TEST_F(RemovalWorkerTest, EachVetoedDeviceIsAskedAboutUntilOneIsRetried) {
  for (const int firstAnswer : {winvalues::kIdCancel, winvalues::kIdRetry}) {
    SCOPED_TRACE(firstAnswer);
    prompter = RecordingPrompter();
    prompter.QueueAnswer(firstAnswer);
    prompter.QueueAnswer(winvalues::kIdCancel);
    passes = {{0, {HeldStick(L"First"), HeldStick(L"Second")}}};
    RemovalJob job(state, settings);
    RunPasses(job);
    EXPECT_EQ(prompter.linePrompts().size(), firstAnswer == winvalues::kIdRetry ? 1u : 2u);
    EXPECT_EQ(job.RetryAsked(), firstAnswer == winvalues::kIdRetry);
  }
}

TEST(RemovalBalloon, OnlyMilestoneCountsEarnABalloon) {
  const int milestones[] = {10, 20, 50, 100, 200, 500, 777, 1000, 2000, 5000, 7777, 10000};
  for (int count : milestones) EXPECT_TRUE(IsMilestoneCount(count)) << count;
  for (int count : {0, 1, 9, 11, 700, 1500, 7776, 10001, 20000, -10}) {
    EXPECT_FALSE(IsMilestoneCount(count)) << count;
    EXPECT_FALSE(MakeRemovalBalloon(L"x", count, L"%s %d", L"T").has_value());
  }
}

TEST(RemovalBalloon, TextsAreFilledAndCut) {
  const std::wstring pattern = L"おめでとうございます。\n'%s' の取り外しに %d回成功しました。";
  const auto balloon = MakeRemovalBalloon(L"USB メモリ", 777, pattern, L"Tollevane");
  ASSERT_TRUE(balloon);
  EXPECT_EQ(balloon->title, L"Tollevane");
  EXPECT_EQ(balloon->text, L"おめでとうございます。\n'USB メモリ' の取り外しに 777回成功しました。");

  const auto cut = MakeRemovalBalloon(std::wstring(459, L'名'), 10, pattern, std::wstring(80, L'T'));
  ASSERT_TRUE(cut);
  EXPECT_EQ(cut->text.size(), kBalloonTextMaxChars);
  EXPECT_EQ(cut->title.size(), kBalloonTitleMaxChars);
}

TEST_F(RemovalWorkerTest, CloseAndRetryIsOfferedWhereAllowedAndTheRetryAsksTheHolderFirst) {
  const VetoHolder notepad{L"notepad.exe", 4242};
  const PromptLine closeButton{IDS_VETO_CLOSE_AND_RETRY, L"notepad.exe", std::nullopt};
  holders[L"SanDisk Cruzer"] = notepad;
  prompter.QueueAnswer(kIdThirdButton);
  mayOfferClose = [](const VetoHolder& holder) { return holder.processId == 4242; };
  passes = {{0, {HeldStick(L"SanDisk Cruzer")}}};
  RemovalJob job(state, settings);
  RunPasses(job);
  EXPECT_EQ(prompter.linePrompts().at(0).third, closeButton);
  EXPECT_EQ(job.CloseBeforeRetry(), notepad);
  // The retry: the holder is asked before any request; one that could not be asked is
  // told so in the message that follows, which offers the close no more.
  for (const HolderClose result : {HolderClose::StillRunning, HolderClose::Refused}) {
    prompter = RecordingPrompter();
    prompter.SetDefaultAnswer(winvalues::kIdCancel);
    events.clear();
    closed = result;
    passes = {{0, {HeldStick(L"SanDisk Cruzer")}}};
    RemovalJob retry(state, settings, notepad);
    RunPasses(retry);
    EXPECT_EQ(events.at(0), L"close notepad.exe");
    EXPECT_EQ(events.at(1), L"eject USB Flash Disk");
    const auto& box = prompter.linePrompts().at(0);
    const bool refused = result == HolderClose::Refused;
    EXPECT_EQ(box.third, refused ? std::nullopt : std::optional(closeButton));
    const PromptLine advice = refused ? PromptLine{IDS_VETO_CLOSE_REFUSED, L"notepad.exe", std::nullopt}
                                      : PromptLine{IDS_VETO_ADVICE_CLOSE, std::nullopt, std::nullopt};
    EXPECT_EQ(box.lines.at(2), advice);
  }
}
