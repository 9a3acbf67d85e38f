#include "resident/RemovalJob.h"

RemovalJob::RemovalJob(const MainWndState& state, const SettingsRecord& settingsRecord,
                       std::optional<VetoHolder> holderToClose)
    : name(state.m_strRemoveDevice),
      index(state.m_nRemoveIndex),
      record(state.m_nRemoveIndex == kNoRegistration
                 ? tag_device_hotkey_info{}
                 : state.m_aDeviceHotkeyInfo.at(static_cast<std::size_t>(state.m_nRemoveIndex))),
      settings(settingsRecord),
      closeFirst(std::move(holderToClose)) {}

bool RemovalJob::Abandon() {
  int expected = kRunning;
  return phase_.compare_exchange_strong(expected, kAbandoned) || expected == kAbandoned;
}

bool RemovalJob::Abandoned() const { return phase_.load() == kAbandoned; }

bool RemovalJob::BeginReport() {
  int expected = kRunning;
  return phase_.compare_exchange_strong(expected, kReporting);
}

void TakeRemovalCount(MainWndState& state, const RemovalJob& job) {
  if (job.Abandoned() || job.index < 0) return;
  const auto slot = static_cast<std::size_t>(job.index);
  // The table holds what it held at the start unless something reloaded it.
  if (slot >= state.m_aDeviceHotkeyInfo.size()) return;
  tag_device_hotkey_info& record = state.m_aDeviceHotkeyInfo[slot];
  if (record.key == job.record.key && record.name == job.record.name) {
    record.reject_times = job.record.reject_times;
  }
}
