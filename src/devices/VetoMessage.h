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

// `holder`, when known, names the program better than any veto type can. `closeRefused`:
// the holder did not take the request to close, and the advice says so.
std::vector<PromptLine> VetoMessageLines(std::wstring_view deviceName, const EjectVeto& veto,
                                         const std::optional<VetoHolder>& holder,
                                         bool closeRefused = false);

// What the user chose at the veto messages: nothing, a retry, or a retry once the
// holder named here has been asked to close.
struct VetoReply {
  bool retry = false;
  std::optional<VetoHolder> closeFirst;
};

struct VetoAsking {
  // Whether the message for a veto held by this program offers to close it.
  std::function<bool(const VetoHolder&)> mayOfferClose;
  // A holder that refused to be asked last time: told so, and not offered again.
  std::optional<VetoHolder> refused;
  // Shows the lines with Retry and Cancel, and with `closeButton` as a third button
  // when given; returns the button pressed (kIdThirdButton for the third).
  std::function<int(const std::vector<PromptLine>& lines,
                    const std::optional<PromptLine>& closeButton)>
      show;
};

// Shows each veto's message in turn until the user asks for a retry.
VetoReply AskAboutVetoes(const std::vector<VetoedRequest>& vetoes, const VetoAsking& asking);

// Gives each veto's lines, with its holder, to `tell` in turn, until `tell` gives true
// (the user asked to try again); true then.
bool TellVetoes(const std::vector<VetoedRequest>& vetoes,
                const std::function<bool(const std::vector<PromptLine>&)>& tell);
