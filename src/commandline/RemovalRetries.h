// "/wait:SECONDS": a removal that a holder refuses is asked again, at most once a
// second, until it goes, the time is up, or the user presses Ctrl+C.
#pragma once

#include <cstdint>
#include <functional>

// The 32-bit millisecond tick and a pause that the user can cut short.
class RetryClock {
 public:
  virtual ~RetryClock() = default;
  virtual std::uint32_t NowTick() = 0;
  // Pauses `ms`; false when the user asked to stop meanwhile (or before).
  virtual bool Pause(std::uint32_t ms) = 0;
};

// Runs `attempt` (which gives an exit status) once, then again while it gives 2 (every
// request failed or was vetoed) and a next attempt, a second after the last one began,
// still starts within `seconds` of the first. The status of the last attempt made.
int RunWithRetries(unsigned seconds, RetryClock& clock, const std::function<int()>& attempt);
