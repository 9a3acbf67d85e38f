// The Explorer-closing step bound to this system's shell, drives and Sleep, for the
// removal worker to call before a USB mass-storage eject.
#pragma once

#include "resident/ExplorerClosing.h"

struct SettingsRecord;

class Win32Sleeper final : public Sleeper {
 public:
  void Pause(std::uint32_t milliseconds) override;
};

// CloseExplorerWindows on the real system. A failure of any kind only means fewer
// windows closed: the eject goes ahead, so nothing escapes to the worker.
void CloseExplorerWindowsOnSystem(const SettingsRecord& settings) noexcept;
