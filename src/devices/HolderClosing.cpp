#include "devices/HolderClosing.h"

#include <algorithm>

#include "common/AsciiCase.h"

bool MayOfferToClose(const VetoHolder& holder, const HolderProcessView& view) {
  if (holder.processId == kSystemProcessId || holder.processId == 0) return false;
  if (EqualIgnoringAsciiCase(holder.program, L"explorer.exe")) return false;
  return view.inThisSession && view.hasVisibleWindows;
}

HolderClose CloseHolder(HolderProcess& process, const RemovalStop& stop, std::uint32_t waitMs,
                        std::uint32_t sliceMs) {
  if (stop.StopAsked()) return HolderClose::Stopped;
  if (!process.AskToClose()) return HolderClose::Refused;
  for (std::uint32_t waited = 0; waited < waitMs; waited += sliceMs) {
    if (process.WaitForEnd(std::min(sliceMs, waitMs - waited))) return HolderClose::Ended;
    if (stop.StopAsked()) return HolderClose::Stopped;
  }
  return HolderClose::StillRunning;
}
