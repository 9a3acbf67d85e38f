// The System log that the stand-ins keep beside the tree file: one line for each event 225
// (a program stopped a device's removal), which the device stand-in appends at each veto
// by a node's vetoer and the event-log stand-in serves. Each line: time in FILETIME
// units, tab, process id, tab, the program's NT path, tab, the device's instance ID (UTF-8).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FileBytes.h"
#include "devices/VetoHolder.h"

NativePath SystemLogFor(const NativePath& treeFile);

// The system's time now, in FILETIME units.
std::uint64_t SimulatedSystemTime();

std::string FormatVetoEventLine(const VetoEvent& event);
// The events of the log, oldest first; a line that cannot be read is left out.
std::vector<VetoEvent> ParseVetoEventLines(std::string_view utf8);

// The XPath form the event-log stand-in answers: the Kernel-PnP events 225 of the last N
// milliseconds, "*[System[Provider[@Name='Microsoft-Windows-Kernel-PnP'] and (EventID=225)
// and TimeCreated[timediff(@SystemTime) <= N]]]"; N, or nothing for any other query.
std::optional<std::uint64_t> VetoQueryWindowMs(std::wstring_view xpath);

// The events of `all` (oldest first) not older than `windowMs` before `now`, newest first
// when `newestFirst`.
std::vector<VetoEvent> EventsWithin(const std::vector<VetoEvent>& all, std::uint64_t now,
                                    std::uint64_t windowMs, bool newestFirst);
