// One hotkey removal as its worker sees it: copies of what the worker reads and
// counts, taken from the main window when the removal starts. An abandoned worker
// goes on running on these copies while the main window has moved on.
#pragma once

#include <atomic>
#include <cstdint>
#include <string>

#include <optional>

#include "devices/RemovalStop.h"
#include "devices/VetoHolder.h"
#include "resident/MainWndState.h"
#include "settings/DeviceHotkeyInfo.h"
#include "settings/SettingsRecord.h"

class RemovalJob : public RemovalStop {
 public:
  // The registration at `state.m_nRemoveIndex`, which must be in the table, or none
  // for kNoRegistration. `closeFirst`: the program to ask to close before the removal.
  RemovalJob(const MainWndState& state, const SettingsRecord& settings,
             std::optional<VetoHolder> closeFirst = std::nullopt);

  const std::wstring name;
  const std::int32_t index;
  tag_device_hotkey_info record;  // the worker counts on this copy
  const SettingsRecord settings;
  // The user chose, at the last try's veto message, to close this program and retry.
  const std::optional<VetoHolder> closeFirst;

  // Whether a registration counts this removal: stores its count, may congratulate.
  bool Counted() const { return index != kNoRegistration; }

  // Main window: the worker's outcome is to be discarded. False once the worker
  // has begun to report it.
  bool Abandon();
  bool Abandoned() const;
  // An abandoned worker asks the system for nothing more.
  bool StopAsked() const override { return Abandoned(); }
  // Worker, once the eject requests are done: false when abandoned, and then
  // nothing may be reported.
  bool BeginReport();

  // Worker: the user asked for the removal to be tried again, as a removal of its own
  // (with its wait dialog and its forced stop), once `closeNext` (when given) has been
  // asked to close. Read once the worker has ended.
  void AskRetry(std::optional<VetoHolder> closeNext = std::nullopt) {
    closeNext_ = std::move(closeNext);
    retryAsked_ = true;
  }
  bool RetryAsked() const { return retryAsked_; }
  const std::optional<VetoHolder>& CloseBeforeRetry() const { return closeNext_; }

 private:
  enum Phase : int { kRunning, kReporting, kAbandoned };
  std::atomic<int> phase_{kRunning};
  std::atomic<bool> retryAsked_{false};
  std::optional<VetoHolder> closeNext_;
};

// The main window takes the count of a worker that ended unabandoned into its table.
void TakeRemovalCount(MainWndState& state, const RemovalJob& job);
