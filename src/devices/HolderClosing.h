// Asking the program that holds a vetoed device to close, as a person would, before the
// removal is tried again. A process is never ended from outside: that would lose what
// its user has not saved.
#pragma once

#include <cstdint>
#include <optional>

#include "devices/RemovalStop.h"
#include "devices/VetoHolder.h"

// How long the program is given to end once asked; the wait dialog and its stop run
// meanwhile, as for a slow removal.
inline constexpr std::uint32_t kHolderCloseWaitMs = 15000;

// What the system tells of a holder's process when the veto message is about to be shown.
struct HolderProcessView {
  bool inThisSession = false;      // services and other users' programs are not
  bool hasVisibleWindows = false;  // something the user could close by hand too
};

// Whether the veto message offers to close `holder`. Explorer is never asked: its folder
// windows on the drive are closed by the removal itself where the settings say so, and
// closing the shell would take the desktop with it.
bool MayOfferToClose(const VetoHolder& holder, const HolderProcessView& view);

// The holder's process, opened for the close and the wait.
class HolderProcess {
 public:
  virtual ~HolderProcess() = default;
  // Asks each of its visible top-level windows to close; false when every one refused
  // the request (the program runs with higher rights than this one).
  virtual bool AskToClose() = 0;
  // True once the process has ended, waiting at most `ms` for it.
  virtual bool WaitForEnd(std::uint32_t ms) = 0;
};

enum class HolderClose {
  Ended,         // the program closed: the removal is tried again
  StillRunning,  // it did not end in time (it may be asking to save): tried again all the same
  Refused,       // it could not be asked: tried again, and the user is told why
  Stopped,       // the user stopped the wait: nothing more is done
};

// Asks the program to close and waits for its end, listening for `stop` between slices.
HolderClose CloseHolder(HolderProcess& process, const RemovalStop& stop,
                        std::uint32_t waitMs = kHolderCloseWaitMs, std::uint32_t sliceMs = 100);
