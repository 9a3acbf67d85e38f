// Time left of a wait that is resumed after each interruption, on the system's
// 32-bit millisecond tick, which wraps about every 49.7 days.
#pragma once

#include <cstdint>

inline constexpr std::uint32_t kWaitForever = 0xFFFFFFFF;  // INFINITE

// Milliseconds still to wait of `timeoutMs` begun at `startTick`; 0 once it is over.
std::uint32_t RemainingWaitMs(std::uint32_t startTick, std::uint32_t nowTick,
                              std::uint32_t timeoutMs);
