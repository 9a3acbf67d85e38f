#include <windows.h>

#include "devices/simulated/SimulatedDelay.h"

void SleepForMilliseconds(std::uint32_t milliseconds) { ::Sleep(milliseconds); }
