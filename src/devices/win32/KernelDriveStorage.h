// The drive-storage seam on the kernel: drive types, DOS device names and the storage
// IOCTLs of volumes and device interfaces.
#pragma once

#include "devices/DriveStorage.h"

class KernelDriveStorage final : public DriveStorage {
 public:
  unsigned DriveType(wchar_t letter) override;
  std::optional<std::wstring> DosDevice(wchar_t letter) override;
  std::vector<StorageNumber> VolumeNumbers(wchar_t letter) override;
  std::optional<StorageNumber> DeviceNumber(const std::wstring& devicePath) override;
  std::unique_ptr<RemovableMedium> OpenMedium(wchar_t letter, std::uint32_t& error) override;
  std::vector<StorageNumber> SystemDiskNumbers() override;
  std::optional<std::wstring> VolumeLabel(wchar_t letter) override;
  std::optional<std::wstring> MountedVolume(const std::wstring& path) override;
};
