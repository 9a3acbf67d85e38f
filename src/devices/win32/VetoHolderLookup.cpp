#include "devices/win32/VetoHolderLookup.h"

#include <windows.h>

#include <algorithm>

#include "common/WaitDeadline.h"
#include "devices/win32/KernelPnpEventLog.h"

namespace {

// No page documents how soon the event is written; two seconds covered every veto seen.
constexpr std::uint32_t kLookForMs = 2000;
constexpr std::uint32_t kLookAgainMs = 100;

class TickClock final : public VetoLookClock {
 public:
  explicit TickClock(const RemovalStop* stop) : start_(::GetTickCount()), stop_(stop) {}

  std::uint32_t TimeLeftMs() override {
    if (stop_ != nullptr && stop_->StopAsked()) return 0;
    return RemainingWaitMs(start_, ::GetTickCount(), kLookForMs);
  }

  bool PauseThenGoOn() override {
    const std::uint32_t left = TimeLeftMs();
    if (left == 0) return false;
    ::Sleep(std::min(left, kLookAgainMs));
    return TimeLeftMs() != 0;
  }

 private:
  const std::uint32_t start_;
  const RemovalStop* stop_;
};

}  // namespace

std::optional<VetoHolder> LookUpVetoHolder(const VetoedRequest& vetoed, std::uint64_t removalStart,
                                           const RemovalStop* stop) {
  KernelPnpEventLog log;
  TickClock clock(stop);
  return FindVetoHolder(log, vetoed.instanceIds, removalStart, clock);
}
