#include "devices/win32/VetoHolderLookup.h"

#include <windows.h>

#include "common/WaitDeadline.h"
#include "devices/win32/KernelPnpEventLog.h"

namespace {

// No page documents how soon the event is written; two seconds covered every veto seen.
constexpr std::uint32_t kLookForMs = 2000;
constexpr DWORD kLookAgainMs = 100;

}  // namespace

std::optional<VetoHolder> LookUpVetoHolder(const VetoedRequest& vetoed, std::uint64_t removalStart) {
  KernelPnpEventLog log;
  const std::uint32_t start = ::GetTickCount();
  return FindVetoHolder(log, vetoed.instanceIds, removalStart, [start] {
    if (RemainingWaitMs(start, ::GetTickCount(), kLookForMs) == 0) return false;
    ::Sleep(kLookAgainMs);
    return true;
  });
}
