#include <windows.h>

#include "SimulatedDelay.h"

void SleepForMilliseconds(std::uint32_t milliseconds) { ::Sleep(milliseconds); }
