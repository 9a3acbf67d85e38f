// The storage calls that tie a drive letter to the disk, CD-ROM or floppy that holds
// it: the seam beside the device tree, answered by the kernel on Windows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// STORAGE_DEVICE_NUMBER without the partition, which tells nothing about the device.
struct StorageNumber {
  std::uint32_t deviceType = 0;  // winvalues::kFileDevice...
  std::uint32_t deviceNumber = 0;

  bool operator==(const StorageNumber&) const = default;
};

class DriveStorage {
 public:
  virtual ~DriveStorage() = default;

  // GetDriveTypeW of the drive's root ("E:\"): winvalues::kDrive...
  virtual unsigned DriveType(wchar_t letter) = 0;

  // QueryDosDeviceW of "E:": the kernel device that the letter names now; nothing for a
  // letter that names none.
  virtual std::optional<std::wstring> DosDevice(wchar_t letter) = 0;

  // What the drive lies on: IOCTL_STORAGE_GET_DEVICE_NUMBER of \\.\E:, or, for a volume
  // that spans disks (which has no one number), each disk of
  // IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS. Empty when neither answers.
  virtual std::vector<StorageNumber> VolumeNumbers(wchar_t letter) = 0;

  // IOCTL_STORAGE_GET_DEVICE_NUMBER of a device interface's path; nothing when the path
  // cannot be opened or does not answer.
  virtual std::optional<StorageNumber> DeviceNumber(const std::wstring& devicePath) = 0;

  // GetVolumeInformationW of the drive's root: the volume's label (empty when it has
  // none); nothing when the drive holds no readable volume. A seam without volumes
  // answers nothing.
  virtual std::optional<std::wstring> VolumeLabel(wchar_t /*letter*/) { return std::nullopt; }

  // GetVolumeNameForVolumeMountPointW: the unique name ("\\?\Volume{...}\") of the
  // volume mounted at `path`, a drive's root or a folder, ending in a backslash;
  // nothing when no volume is mounted there.
  virtual std::optional<std::wstring> MountedVolume(const std::wstring& /*path*/) {
    return std::nullopt;
  }
};
