// The wait dialog's rules: it closes once the removal is done, or at once when
// the user abandons the removal; the forced stop is asked for with No as the default.
#pragma once

class Prompter;

inline constexpr unsigned kWaitPollTimerId = 0;
inline constexpr unsigned kWaitPollPeriodMs = 250;

class WorkerThreadPort {
 public:
  virtual ~WorkerThreadPort() = default;
  // The removal is done (its handle found signalled with time-out 0): what the worker
  // still does is tell its outcome.
  virtual bool HasEnded() = 0;
  // Leaves the worker to run to its end unheard; false when it has already begun
  // to report its outcome, which then cannot be taken back.
  virtual bool Abandon() = 0;
};

enum class WaitTick { Close, RearmTimer };

// One poll: close when the removal is done, otherwise poll again.
WaitTick OnWaitTick(WorkerThreadPort& worker);

// The close command: asks IDS_FORCE_STOP_QUESTION; Yes abandons the worker. Close when it was
// abandoned; otherwise the dialog stays until a tick sees the removal done.
WaitTick OnWaitCancel(WorkerThreadPort& worker, Prompter& prompter);
