// Seam over the system's drive letters and drive types.
#pragma once

#include <cstdint>
#include <string>

class Drives {
 public:
  virtual ~Drives() = default;

  // GetLogicalDrives: bit 0 stands for A, bit 25 for Z.
  virtual std::uint32_t LogicalDriveMask() const = 0;

  // GetDriveTypeW of a root such as "F:\" (winvalues::kDrive...).
  virtual unsigned DriveTypeOf(const std::wstring& root) const = 0;
};
