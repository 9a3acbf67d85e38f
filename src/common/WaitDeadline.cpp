#include "common/WaitDeadline.h"

std::uint32_t RemainingWaitMs(std::uint32_t startTick, std::uint32_t nowTick,
                              std::uint32_t timeoutMs) {
  if (timeoutMs == kWaitForever) return kWaitForever;
  // Unsigned subtraction stays right across the tick's wrap.
  const std::uint32_t elapsed = nowTick - startTick;
  return elapsed >= timeoutMs ? 0 : timeoutMs - elapsed;
}
