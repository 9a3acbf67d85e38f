#include "commandline/RemovalRetries.h"

#include "common/WaitDeadline.h"

namespace {

constexpr std::uint32_t kRetryIntervalMs = 1000;
constexpr int kRefused = 2;

}  // namespace

int RunWithRetries(unsigned seconds, RetryClock& clock, const std::function<int()>& attempt) {
  const std::uint32_t first = clock.NowTick();
  const std::uint32_t windowMs = seconds * 1000u;
  for (;;) {
    const std::uint32_t began = clock.NowTick();
    const int status = attempt();
    if (status != kRefused) return status;
    // Whether the next attempt, a second after this one began, still lies in the window.
    const std::uint32_t nextOffset = (began - first) + kRetryIntervalMs;
    if (nextOffset > windowMs) return status;
    if (!clock.Pause(RemainingWaitMs(began, clock.NowTick(), kRetryIntervalMs))) return status;
  }
}
