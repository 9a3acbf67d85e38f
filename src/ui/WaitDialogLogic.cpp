#include "ui/WaitDialogLogic.h"

#include "common/Prompter.h"
#include "common/WinValues.h"
#include "resources/resource.h"

WaitTick OnWaitTick(WorkerThreadPort& worker) {
  return worker.HasEnded() ? WaitTick::Close : WaitTick::RearmTimer;
}

WaitTick OnWaitCancel(WorkerThreadPort& worker, Prompter& prompter) {
  const int answer =
      prompter.Show(IDS_FORCE_STOP_QUESTION, std::nullopt, IDS_CONFIRM_CAPTION,
                    winvalues::kMbYesNo | winvalues::kMbIconExclamation | winvalues::kMbDefButton2);
  // A worker that ended meanwhile is seen by the next tick like any other.
  if (answer == winvalues::kIdYes && !worker.HasEnded() && worker.Abandon()) return WaitTick::Close;
  return WaitTick::RearmTimer;
}
