// The System log's Kernel-PnP events 225 (a process stopped a device's removal), read
// through wevtapi loaded from the system folder. Only Windows 7 and later write them.
#pragma once

#include "devices/VetoHolder.h"

class KernelPnpEventLog final : public VetoEventLog {
 public:
  // Nothing when wevtapi is missing, the system is older than Windows 7, or the query
  // fails: the user never hears of it.
  std::optional<std::vector<VetoEvent>> RecentVetoEvents(std::uint32_t withinMs) override;
};

// The system's time now, in the units of VetoEvent::time.
std::uint64_t SystemTimeNow();
