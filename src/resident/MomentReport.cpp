#include "resident/MomentReport.h"

#include "common/WinValues.h"

int PromptRecorder::Show(unsigned textId, const std::optional<std::wstring>& argument,
                         unsigned captionId, unsigned flags) {
  prompts.push_back({{PromptLine{textId, argument, std::nullopt}}, false, captionId, flags});
  return winvalues::kIdCancel;
}

int PromptRecorder::ShowLines(const std::vector<PromptLine>& lines, unsigned captionId,
                              unsigned flags) {
  prompts.push_back({lines, true, captionId, flags});
  return winvalues::kIdCancel;
}

namespace {

void ShowOneBalloon(const std::vector<MomentJobReport>& report, const MomentBalloons& balloons) {
  std::wstring names;
  for (const MomentJobReport& job : report) {
    if (job.balloonCount && balloons.congratulate(job.registration.name, *job.balloonCount)) return;
    if (!job.removed) continue;
    if (!names.empty()) names += L'\n';
    names += job.registration.name;
  }
  if (!names.empty()) balloons.removed(names);
}

int Replay(const RecordedPrompt& prompt, Prompter& prompter) {
  if (prompt.asLines) return prompter.ShowLines(prompt.lines, prompt.captionId, prompt.flags);
  const PromptLine& line = prompt.lines.front();
  return prompter.Show(line.textId, line.argument, prompt.captionId, prompt.flags);
}

}  // namespace

std::vector<EjectChoice> TellMomentReport(const std::vector<MomentJobReport>& report,
                                          Prompter& prompter, const MomentBalloons& balloons) {
  ShowOneBalloon(report, balloons);
  std::vector<EjectChoice> retries;
  for (const MomentJobReport& job : report) {
    bool retry = false;
    for (const RecordedPrompt& prompt : job.prompts)
      retry = Replay(prompt, prompter) == winvalues::kIdRetry || retry;
    if (retry) retries.push_back(job.registration);
  }
  return retries;
}
