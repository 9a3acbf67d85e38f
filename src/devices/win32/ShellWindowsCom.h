// The shell-windows seam on the shell's ShellWindows automation object.
#pragma once

#include <memory>

#include "devices/ShellWindows.h"

class ComShellWindows final : public ShellWindows {
 public:
  // Null also where the class is not registered (Wine): nothing to close there.
  std::unique_ptr<ShellWindowsConnection> Connect() override;
};
