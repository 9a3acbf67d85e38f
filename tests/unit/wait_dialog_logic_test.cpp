#include <gtest/gtest.h>

#include "fakes/RecordingPrompter.h"
#include "resources/resource.h"
#include "ui/WaitDialogLogic.h"

namespace {

class FakeWorker : public WorkerThreadPort {
 public:
  bool ended = false;
  bool reporting = false;  // past the point where it can be abandoned
  int abandonments = 0;
  bool HasEnded() override { return ended; }
  bool Abandon() override {
    ++abandonments;
    return !reporting;
  }
};

}  // namespace

TEST(WaitDialogLogic, ClosesOnlyOnceTheWorkerHasEnded) {
  FakeWorker worker;
  EXPECT_EQ(OnWaitTick(worker), WaitTick::RearmTimer);
  worker.ended = true;
  EXPECT_EQ(OnWaitTick(worker), WaitTick::Close);
}

TEST(WaitDialogLogic, CancelAsksWithNoAsDefaultAndNoKeepsWaiting) {
  FakeWorker worker;
  RecordingPrompter prompter;
  prompter.QueueAnswer(winvalues::kIdNo);
  EXPECT_EQ(OnWaitCancel(worker, prompter), WaitTick::RearmTimer);
  ASSERT_EQ(prompter.prompts().size(), 1u);
  EXPECT_EQ(prompter.prompts()[0],
            (RecordingPrompter::Prompt{IDS_FORCE_STOP_QUESTION, std::nullopt, IDS_CONFIRM_CAPTION,
                                       0x134}));
  EXPECT_EQ(worker.abandonments, 0);
  EXPECT_EQ(OnWaitTick(worker), WaitTick::RearmTimer);
}

TEST(WaitDialogLogic, YesAbandonsTheRunningWorkerAndClosesAtOnce) {
  FakeWorker worker;
  RecordingPrompter prompter;
  prompter.QueueAnswer(winvalues::kIdYes);
  EXPECT_EQ(OnWaitCancel(worker, prompter), WaitTick::Close);
  EXPECT_EQ(worker.abandonments, 1);
}

TEST(WaitDialogLogic, YesKeepsWaitingForAWorkerThatIsReportingOrHasEnded) {
  for (bool ended : {false, true}) {
    SCOPED_TRACE(ended);
    FakeWorker worker;
    worker.reporting = true;
    worker.ended = ended;
    RecordingPrompter prompter;
    prompter.QueueAnswer(winvalues::kIdYes);
    EXPECT_EQ(OnWaitCancel(worker, prompter), WaitTick::RearmTimer);
    EXPECT_EQ(worker.abandonments, ended ? 0 : 1);
    EXPECT_EQ(OnWaitTick(worker), ended ? WaitTick::Close : WaitTick::RearmTimer);
  }
}
