// The drives seam on the kernel: the logical drives and their types, DOS device names,
// volumes and the storage IOCTLs of volumes and device interfaces.
#pragma once

#include "drives/Drives.h"

class KernelDrives final : public Drives {
 public:
  std::uint32_t LogicalDriveMask() override;
  unsigned DriveType(wchar_t letter) override;
  std::optional<std::wstring> DosDevice(wchar_t letter) override;
  std::vector<StorageNumber> VolumeNumbers(wchar_t letter) override;
  std::optional<StorageNumber> DeviceNumber(const std::wstring& devicePath) override;
  std::unique_ptr<RemovableMedium> OpenMedium(wchar_t letter, std::uint32_t& error) override;
  std::vector<StorageNumber> SystemDiskNumbers() override;
  std::optional<bool> MediumPresent(wchar_t letter) override;
  std::optional<std::wstring> VolumeLabel(wchar_t letter) override;
  std::optional<std::wstring> MountedVolume(const std::wstring& path) override;
  std::vector<std::wstring> MountPaths(const std::wstring& volume) override;

 private:
  // Read once: the disks Windows keeps do not change within the one removal or listing
  // this object serves, and the check before each request would read them again.
  std::optional<std::vector<StorageNumber>> systemDisks_;
};
