// Whether a process of the machine has ended: a tree's vetoer that is a real program
// lets go of the device when it ends, as its open handles close with it.
#pragma once

#include <cstdint>

bool ProcessHasEnded(std::uint32_t processId);
