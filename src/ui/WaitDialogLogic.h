// The wait dialog's rules: it closes only once the worker has ended, and a forced
// stop is asked for with No as the default.
#pragma once

class Prompter;

inline constexpr unsigned kWaitPollTimerId = 0;
inline constexpr unsigned kWaitPollPeriodMs = 250;
inline constexpr unsigned kForcedStopExitCode = 1;

class WorkerThreadPort {
 public:
  virtual ~WorkerThreadPort() = default;
  // WaitForSingleObject with time-out 0 found the handle signalled.
  virtual bool HasEnded() = 0;
  virtual void Terminate(unsigned exitCode) = 0;
};

enum class WaitTick { Close, RearmTimer };

// One poll: close when the worker has ended, otherwise poll again.
WaitTick OnWaitTick(WorkerThreadPort& worker);

// The close command: asks string 114; Yes ends the worker by force. The dialog
// itself stays until a tick sees the worker ended.
void OnWaitCancel(WorkerThreadPort& worker, Prompter& prompter);
