// The Windows build asks Windows instead.
#if !defined(_WIN32)
#include <signal.h>

#include <cerrno>

#include "ProcessLife.h"

bool ProcessHasEnded(std::uint32_t processId) {
  return kill(static_cast<pid_t>(processId), 0) != 0 && errno == ESRCH;
}
#endif
