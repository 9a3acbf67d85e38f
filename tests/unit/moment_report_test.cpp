#include <gtest/gtest.h>

#include "common/WinValues.h"
#include "fakes/RecordingPrompter.h"
#include "resident/MomentReport.h"

// Kept while the user was away, told on the return as it would have been shown then: one
// balloon (a milestone's congratulation, else the names removed), then each message.
TEST(MomentReport, KeptMessagesComeBackAsAskedAndRetryNamesItsRegistration) {
  PromptRecorder away;
  EXPECT_EQ(away.ShowLines({{205, L"Stick", 3}}, 104, winvalues::kMbRetryCancel),
            winvalues::kIdCancel);
  away.Show(110, L"Card", 104, winvalues::kMbOk);
  const struct {
    std::optional<int> count;  // the count Disk's removal offered its balloon
    int answer;                // to the veto message
    std::wstring balloon;
    std::size_t retried;
  } rows[] = {{std::nullopt, winvalues::kIdCancel, L"removed Disk", 0},
              {9, winvalues::kIdRetry, L"removed Disk", 1},
              {10, winvalues::kIdCancel, L"congratulated 10", 0}};
  for (const auto& row : rows) {
    std::wstring balloon;
    const MomentBalloons balloons{
        [&balloon](const std::wstring&, int count) {
          if (count == 10) balloon = L"congratulated 10";
          return count == 10;
        },
        [&balloon](const std::wstring& names) { balloon = L"removed " + names; }};
    RecordingPrompter prompter;
    prompter.QueueAnswer(row.answer);
    const std::vector<EjectChoice> retried = TellMomentReport(
        {{{0, L"Disk"}, true, row.count, {}}, {{2, L"Stick"}, false, std::nullopt, away.prompts}},
        prompter, balloons);
    EXPECT_EQ(balloon, row.balloon);
    EXPECT_EQ(retried.size(), row.retried);
    EXPECT_EQ(prompter.linePrompts().at(0).lines, away.prompts[0].lines);
    EXPECT_EQ(prompter.prompts().at(1),
              (RecordingPrompter::Prompt{110, L"Card", 104, winvalues::kMbOk}));
  }
}
