#include "devices/VetoHolder.h"

#include <algorithm>

#include "devices/DeviceNames.h"

namespace {

bool IsVetoedDevice(std::wstring_view id, const std::vector<std::wstring>& vetoedIds) {
  return std::any_of(vetoedIds.begin(), vetoedIds.end(),
                     [id](const std::wstring& vetoed) { return DeviceNamesEqual(vetoed, id); });
}

}  // namespace

std::wstring ProgramFileName(std::wstring_view path) {
  const std::size_t slash = path.find_last_of(L"\\/");
  return std::wstring(slash == std::wstring_view::npos ? path : path.substr(slash + 1));
}

std::optional<VetoHolder> ChooseVetoHolder(const std::vector<VetoEvent>& newestFirst,
                                           const std::vector<std::wstring>& vetoedIds,
                                           std::uint64_t notBefore) {
  // The order the log gives is trusted only as far as it goes: the newest by time wins.
  const VetoEvent* chosen = nullptr;
  for (const VetoEvent& event : newestFirst) {
    if (event.time < notBefore || !IsVetoedDevice(event.deviceInstance, vetoedIds)) continue;
    if (chosen == nullptr || event.time > chosen->time) chosen = &event;
  }
  if (chosen == nullptr || chosen->processId == kSystemProcessId) return std::nullopt;
  const std::wstring program = ProgramFileName(chosen->processName);
  if (program.empty()) return std::nullopt;
  return VetoHolder{program, chosen->processId};
}

std::optional<VetoHolder> FindVetoHolder(VetoEventLog& log, const std::vector<std::wstring>& vetoedIds,
                                         std::uint64_t notBefore,
                                         const std::function<bool()>& pauseThenGoOn) {
  for (;;) {
    const auto events = log.RecentVetoEvents();
    if (!events) return std::nullopt;
    if (auto holder = ChooseVetoHolder(*events, vetoedIds, notBefore)) return holder;
    if (!pauseThenGoOn()) return std::nullopt;
  }
}
