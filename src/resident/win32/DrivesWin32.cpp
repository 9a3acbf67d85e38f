#include "resident/win32/DrivesWin32.h"

#include <windows.h>

std::uint32_t Win32Drives::LogicalDriveMask() const { return ::GetLogicalDrives(); }

unsigned Win32Drives::DriveTypeOf(const std::wstring& root) const {
  return ::GetDriveTypeW(root.c_str());
}
