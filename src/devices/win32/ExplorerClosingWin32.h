// The Explorer-closing step bound to this system's shell, drives and Sleep, and the
// eject preparation of both removal roads built on it: Explorer windows on removable
// drives are closed before a USB mass-storage device is ejected.
#pragma once

#include "devices/ExplorerClosing.h"
#include "devices/StorageEjectPreparation.h"
#include "settings/SettingsRecord.h"

class Win32Sleeper final : public Sleeper {
 public:
  void Pause(std::uint32_t milliseconds) override;
};

// CloseExplorerWindows on the real system. A failure of any kind only means fewer
// windows closed: the eject goes ahead, so nothing escapes to the worker.
void CloseExplorerWindowsOnSystem(const SettingsRecord& settings) noexcept;

class ExplorerClosingPreparation final : public StorageEjectPreparation {
 public:
  explicit ExplorerClosingPreparation(const SettingsRecord& settings) : settings_(settings) {}
  void PrepareStorageEject() override { CloseExplorerWindowsOnSystem(settings_); }

 private:
  const SettingsRecord& settings_;
};
