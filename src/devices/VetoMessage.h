// What the user is told of a vetoed removal: the device, who holds it or why the system
// refused, and what to do about it, as lines of the string table.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "common/Prompter.h"
#include "devices/EjectVeto.h"
#include "devices/VetoHolder.h"

// `holder`, when known, names the program better than any veto type can.
std::vector<PromptLine> VetoMessageLines(std::wstring_view deviceName, const EjectVeto& veto,
                                         const std::optional<VetoHolder>& holder);
