// The System log that the stand-ins keep beside the tree file: one line for each event 225
// (a program stopped a device's removal), which the device stand-in appends at each veto
// by a node's vetoer and the event-log stand-in serves. Each line: time in FILETIME
// units, tab, process id, tab, the program's NT path, tab, the device's instance ID (UTF-8).
#pragma once

#include <cstdint>
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
