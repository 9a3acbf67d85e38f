// The eject preparation of both removal roads on the real system: Explorer windows
// on removable drives are closed before a USB mass-storage device is ejected.
#pragma once

#include "devices/DeviceRemoval.h"
#include "resident/win32/ExplorerClosingWin32.h"
#include "settings/SettingsRecord.h"

class ExplorerClosingPreparation final : public StorageEjectPreparation {
 public:
  explicit ExplorerClosingPreparation(const SettingsRecord& settings) : settings_(settings) {}
  void PrepareStorageEject() override { CloseExplorerWindowsOnSystem(settings_); }

 private:
  const SettingsRecord& settings_;
};
