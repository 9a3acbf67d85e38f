// Wall-clock time for the helpers that report when something happened: Unix
// microseconds, on the same clock as the host's file times and Python's time.time().
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

namespace e2e {

inline std::int64_t WallMicros() {
    // The precise variant where the system has it (Windows 8, Wine): the plain one
    // may tick in 10-16 ms steps, coarser than what is measured.
    using PreciseTime = void(WINAPI*)(FILETIME*);
    static const auto precise = reinterpret_cast<PreciseTime>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "GetSystemTimePreciseAsFileTime")));
    FILETIME time = {};
    if (precise) precise(&time);
    else GetSystemTimeAsFileTime(&time);
    const std::int64_t ticks = (static_cast<std::int64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    constexpr std::int64_t kUnixEpochTicks = 116444736000000000;  // 1970-01-01 in 100 ns since 1601
    return (ticks - kUnixEpochTicks) / 10;
}

inline std::wstring WallMicrosText() { return std::to_wstring(WallMicros()); }

}  // namespace e2e
