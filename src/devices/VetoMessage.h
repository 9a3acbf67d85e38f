// What the user is told of a vetoed removal: the device, who holds it or why the system
// refused, and what to do about it, as lines of the string table.
#pragma once

#include <functional>
#include <optional>
#include <string_view>
#include <vector>

#include "common/Prompter.h"
#include "devices/VetoHolder.h"
#include "devices/VetoedRequest.h"
#include "pnp/EjectVeto.h"

// `holder`, when known, names the program better than any veto type can.
std::vector<PromptLine> VetoMessageLines(std::wstring_view deviceName, const EjectVeto& veto,
                                         const std::optional<VetoHolder>& holder);

// Gives each veto's lines, with its holder, to `tell` in turn, until `tell` gives true
// (the user asked to try again); true then.
bool TellVetoes(const std::vector<VetoedRequest>& vetoes,
                const std::function<bool(const std::vector<PromptLine>&)>& tell);
