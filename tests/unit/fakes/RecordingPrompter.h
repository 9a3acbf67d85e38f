// Message boxes for unit tests: records every prompt and answers from a script
// (IDOK once the script is used up, unless told otherwise).
#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "common/Prompter.h"
#include "common/WinValues.h"

class RecordingPrompter : public Prompter {
 public:
  struct Prompt {
    unsigned textId = 0;
    std::optional<std::wstring> argument;
    unsigned captionId = 0;
    unsigned flags = 0;
    bool operator==(const Prompt&) const = default;
  };

  int Show(unsigned textId, const std::optional<std::wstring>& argument, unsigned captionId,
           unsigned flags) override {
    prompts_.push_back({textId, argument, captionId, flags});
    if (answers_.empty()) return defaultAnswer_;
    const int answer = answers_.front();
    answers_.pop_front();
    return answer;
  }

  int ShowLines(const std::vector<PromptLine>& lines, unsigned captionId, unsigned flags) override {
    lineSets_.push_back({lines, captionId, flags, std::nullopt});
    return Show(0, std::nullopt, captionId, flags);
  }

  int ShowLinesWithThirdButton(const std::vector<PromptLine>& lines, unsigned captionId,
                               unsigned flags, const PromptLine& third) override {
    const int answer = ShowLines(lines, captionId, flags | winvalues::kMbRetryCancel);
    lineSets_.back().third = third;
    return answer;
  }

  struct LinePrompt {
    std::vector<PromptLine> lines;
    unsigned captionId = 0;
    unsigned flags = 0;
    std::optional<PromptLine> third;
  };
  // Every ShowLines; each also appears in prompts() with text id 0, in its turn.
  const std::vector<LinePrompt>& linePrompts() const { return lineSets_; }

  void QueueAnswer(int answer) { answers_.push_back(answer); }
  void SetDefaultAnswer(int answer) { defaultAnswer_ = answer; }
  const std::vector<Prompt>& prompts() const { return prompts_; }

 private:
  std::vector<Prompt> prompts_;
  std::vector<LinePrompt> lineSets_;
  std::deque<int> answers_;
  int defaultAnswer_ = winvalues::kIdOk;
};
