// The drives seam on GetLogicalDrives and GetDriveTypeW.
#pragma once

#include "resident/Drives.h"

class Win32Drives final : public Drives {
 public:
  std::uint32_t LogicalDriveMask() const override;
  unsigned DriveTypeOf(const std::wstring& root) const override;
};
