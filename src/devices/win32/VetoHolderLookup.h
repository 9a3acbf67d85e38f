// Who holds a vetoed device, looked up in the System log for about two seconds after
// the veto, for a removal that began at `removalStart` (SystemTimeNow()).
#pragma once

#include <cstdint>
#include <optional>

#include "devices/DeviceRemoval.h"
#include "devices/VetoHolder.h"

std::optional<VetoHolder> LookUpVetoHolder(const VetoedRequest& vetoed, std::uint64_t removalStart);
