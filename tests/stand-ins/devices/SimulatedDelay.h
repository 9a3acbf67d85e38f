// The real wait behind a simulated eject's delay. The i686 MinGW runtime has no
// std::this_thread, so each platform supplies its own (native: nanosleep; Windows: Sleep
// in devices/win32).
#pragma once

#include <cstdint>

void SleepForMilliseconds(std::uint32_t milliseconds);
