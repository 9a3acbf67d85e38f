// What the silent removal of a moment (sleep, lock, display off) tells once the user is
// back: its message boxes are kept while nobody is there to answer them, then shown.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/Prompter.h"
#include "resident/EjectMenu.h"

struct RecordedPrompt {
  std::vector<PromptLine> lines;
  bool asLines = false;  // ShowLines rather than Show
  unsigned captionId = 0;
  unsigned flags = 0;
};

// Keeps each message box instead of showing it, and answers Cancel: a Retry cannot be
// asked of a machine going to sleep, only of the user once back.
class PromptRecorder final : public Prompter {
 public:
  int Show(unsigned textId, const std::optional<std::wstring>& argument, unsigned captionId,
           unsigned flags) override;
  int ShowLines(const std::vector<PromptLine>& lines, unsigned captionId, unsigned flags) override;

  std::vector<RecordedPrompt> prompts;
};

// One registration's part of a moment's removal.
struct MomentJobReport {
  EjectChoice registration;  // what a Retry removes again, as its hotkey would
  bool removed = false;
  std::optional<int> balloonCount;  // the count the worker offered its balloon
  std::vector<RecordedPrompt> prompts;
};

struct MomentBalloons {
  // The congratulation at a milestone count; false when `count` is none.
  std::function<bool(const std::wstring& name, int count)> congratulate;
  // The removed devices' names, one a line.
  std::function<void(const std::wstring& names)> removed;
};

// One balloon (a congratulation when a count reached a milestone, else the names removed),
// then the kept messages in order. Gives the registrations whose message the user
// answered with Retry.
std::vector<EjectChoice> TellMomentReport(const std::vector<MomentJobReport>& report,
                                          Prompter& prompter, const MomentBalloons& balloons);
