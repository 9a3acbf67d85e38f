// Who holds a vetoed device, looked up in the System log for at most two seconds after
// the veto, for a removal that began at `removalStart` (SystemTimeNow()). A removal that
// is told to stop ends the look at once.
#pragma once

#include <cstdint>
#include <optional>

#include "devices/RemovalStop.h"
#include "devices/VetoHolder.h"
#include "devices/VetoedRequest.h"

std::optional<VetoHolder> LookUpVetoHolder(const VetoedRequest& vetoed, std::uint64_t removalStart,
                                           const RemovalStop* stop = nullptr);
