#include <gtest/gtest.h>

#include "fakes/RecordingPrompter.h"
#include "resources/resource.h"
#include "ui/WaitDialogLogic.h"

namespace {

class FakeWorker : public WorkerThreadPort {
 public:
  bool ended = false;
  int terminations = 0;
  unsigned exitCode = 0;
  bool HasEnded() override { return ended; }
  void Terminate(unsigned code) override {
    ++terminations;
    exitCode = code;
    ended = true;
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
  OnWaitCancel(worker, prompter);
  ASSERT_EQ(prompter.prompts().size(), 1u);
  EXPECT_EQ(prompter.prompts()[0],
            (RecordingPrompter::Prompt{IDS_FORCE_STOP_QUESTION, std::nullopt, IDS_CONFIRM_CAPTION,
                                       0x134}));
  EXPECT_EQ(worker.terminations, 0);
  EXPECT_EQ(OnWaitTick(worker), WaitTick::RearmTimer);
}

TEST(WaitDialogLogic, YesEndsTheWorkerWithExitCodeOneAndTheNextTickCloses) {
  FakeWorker worker;
  RecordingPrompter prompter;
  prompter.QueueAnswer(winvalues::kIdYes);
  OnWaitCancel(worker, prompter);
  EXPECT_EQ(worker.terminations, 1);
  EXPECT_EQ(worker.exitCode, 1u);
  EXPECT_EQ(OnWaitTick(worker), WaitTick::Close);
}

TEST(WaitDialogLogic, YesAfterTheWorkerEndedHasNoEffect) {
  FakeWorker worker;
  worker.ended = true;
  RecordingPrompter prompter;
  prompter.QueueAnswer(winvalues::kIdYes);
  OnWaitCancel(worker, prompter);
  EXPECT_EQ(worker.terminations, 0);
}
