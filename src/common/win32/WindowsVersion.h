// The running system's version as GetVersionExW reports it.
#pragma once

namespace win32 {

struct WindowsVersion {
  unsigned major = 0;
  unsigned minor = 0;
  bool IsVistaOrLater() const { return major > 5; }
  bool IsXpOrLater() const { return major > 5 || (major == 5 && minor >= 1); }
};

WindowsVersion QueryWindowsVersion();

}  // namespace win32
