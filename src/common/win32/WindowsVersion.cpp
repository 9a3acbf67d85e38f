#include "common/win32/WindowsVersion.h"

#include <windows.h>

namespace win32 {

static_assert(sizeof(OSVERSIONINFOW) == 276, "GetVersionExW takes the 276-byte structure");

WindowsVersion QueryWindowsVersion() {
  OSVERSIONINFOW info = {};
  info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  if (!::GetVersionExW(&info)) return {};
#pragma GCC diagnostic pop
  return {info.dwMajorVersion, info.dwMinorVersion};
}

}  // namespace win32
