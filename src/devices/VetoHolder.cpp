#include "devices/VetoHolder.h"

#include <algorithm>

#include "pnp/DeviceNames.h"

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

const VetoEvent* ChooseVetoEvent(const std::vector<VetoEvent>& newestFirst,
                                 const std::vector<std::wstring>& vetoedIds,
                                 std::uint64_t notBefore) {
  // The order the log gives is trusted only as far as it goes: the newest by time wins.
  const VetoEvent* chosen = nullptr;
  for (const VetoEvent& event : newestFirst) {
    if (event.time < notBefore || !IsVetoedDevice(event.deviceInstance, vetoedIds)) continue;
    if (chosen == nullptr || event.time > chosen->time) chosen = &event;
  }
  return chosen;
}

std::optional<VetoHolder> HolderNamedBy(const VetoEvent& event) {
  if (event.processId == kSystemProcessId) return std::nullopt;
  std::wstring program = ProgramFileName(event.processName);
  if (program.empty()) return std::nullopt;
  return VetoHolder{std::move(program), event.processId};
}

std::optional<VetoHolder> ChooseVetoHolder(const std::vector<VetoEvent>& newestFirst,
                                           const std::vector<std::wstring>& vetoedIds,
                                           std::uint64_t notBefore) {
  const VetoEvent* chosen = ChooseVetoEvent(newestFirst, vetoedIds, notBefore);
  return chosen ? HolderNamedBy(*chosen) : std::nullopt;
}

std::optional<VetoHolder> FindVetoHolder(VetoEventLog& log,
                                         const std::vector<std::wstring>& vetoedIds,
                                         std::uint64_t notBefore, VetoLookClock& clock) {
  if (vetoedIds.empty()) return std::nullopt;
  for (std::uint32_t left = clock.TimeLeftMs(); left != 0; left = clock.TimeLeftMs()) {
    const auto events = log.RecentVetoEvents(left);
    if (!events) return std::nullopt;
    if (const VetoEvent* chosen = ChooseVetoEvent(*events, vetoedIds, notBefore))
      return HolderNamedBy(*chosen);
    if (!clock.PauseThenGoOn()) return std::nullopt;
  }
  return std::nullopt;
}
