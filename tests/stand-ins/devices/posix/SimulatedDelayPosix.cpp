// The Windows build takes SleepForMilliseconds from devices/win32 instead.
#if !defined(_WIN32)

#include <cerrno>
#include <ctime>

#include "SimulatedDelay.h"

void SleepForMilliseconds(std::uint32_t milliseconds) {
  timespec remaining{static_cast<time_t>(milliseconds / 1000),
                     static_cast<long>(milliseconds % 1000) * 1'000'000L};
  while (nanosleep(&remaining, &remaining) != 0 && errno == EINTR) {
  }
}

#endif
