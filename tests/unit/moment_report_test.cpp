#include <gtest/gtest.h>

#include "common/WinValues.h"
#include "fakes/RecordingPrompter.h"
#include "resident/MomentReport.h"

namespace {

// What a moment's removal kept while the user was away is shown as it would have been
// then: one balloon, then each message with the buttons it had.
TEST(MomentReport, KeptMessagesComeBackAsTheyWereAskedAndRetryNamesItsRegistration) {
  PromptRecorder away;
  const std::vector<PromptLine> veto = {{205, L"Stick", std::nullopt}, {207, L"notepad.exe", 42}};
  EXPECT_EQ(away.ShowLines(veto, 104, winvalues::kMbRetryCancel), winvalues::kIdCancel);
  EXPECT_EQ(away.Show(110, L"Card", 104, winvalues::kMbOk), winvalues::kIdCancel);

  const std::vector<MomentJobReport> report = {
      {{0, L"Disk"}, true, std::nullopt, {}},
      {{2, L"Stick"}, false, std::nullopt, {away.prompts[0]}},
      {{5, L"Card"}, false, std::nullopt, {away.prompts[1]}},
  };
  struct Row {
    const char* label;
    std::optional<int> milestone;  // the count the worker offered its balloon, for Disk
    int answer;  // to the veto message
    std::vector<std::wstring> balloons;
    std::vector<std::wstring> retried;
  };
  const Row rows[] = {
      {"removed, cancelled", std::nullopt, winvalues::kIdCancel, {L"removed Disk"}, {}},
      {"removed, retried", std::nullopt, winvalues::kIdRetry, {L"removed Disk"}, {L"Stick"}},
      {"no milestone yet", 9, winvalues::kIdCancel, {L"9?", L"removed Disk"}, {}},
      {"a milestone", 10, winvalues::kIdCancel, {L"10?", L"congratulated Disk 10"}, {}},
  };
  for (const Row& row : rows) {
    std::vector<MomentJobReport> told = report;
    told[0].balloonCount = row.milestone;
    std::vector<std::wstring> balloons;
    const MomentBalloons shown{[&balloons](const std::wstring& name, int count) {
                                 balloons.push_back(std::to_wstring(count) + L"?");
                                 if (count != 10) return false;
                                 balloons.push_back(L"congratulated " + name + L" 10");
                                 return true;
                               },
                               [&balloons](const std::wstring& names) {
                                 balloons.push_back(L"removed " + names);
                               }};
    RecordingPrompter prompter;
    prompter.QueueAnswer(row.answer);  // the veto's; the failure box is answered OK
    std::vector<std::wstring> retried;
    for (const EjectChoice& choice : TellMomentReport(told, prompter, shown))
      retried.push_back(choice.name);

    EXPECT_EQ(balloons, row.balloons) << row.label;
    EXPECT_EQ(retried, row.retried) << row.label;
    ASSERT_EQ(prompter.linePrompts().size(), 1u) << row.label;
    EXPECT_EQ(prompter.linePrompts()[0].lines, veto) << row.label;
    EXPECT_EQ(prompter.prompts()[1], (RecordingPrompter::Prompt{110, L"Card", 104, winvalues::kMbOk}))
        << row.label;
  }
}

}  // namespace
