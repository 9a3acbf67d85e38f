// The system's drives: which letters exist, their types, and the storage calls that tie
// a letter to the disk, CD-ROM or floppy that holds it, its volume and its medium. The
// seam beside the device tree, answered by the kernel on Windows.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/WinValues.h"

// STORAGE_DEVICE_NUMBER without the partition, which tells nothing about the device.
struct StorageNumber {
  std::uint32_t deviceType = 0;  // winvalues::kFileDevice...
  std::uint32_t deviceNumber = 0;

  bool operator==(const StorageNumber&) const = default;
};

// A drive's volume opened for reading, to take its medium out while the drive stays: a
// card out of a reader's slot. Each step answers 0 when done, else the system's error
// code. Closing the volume releases the lock.
class RemovableMedium {
 public:
  virtual ~RemovableMedium() = default;
  virtual std::uint32_t Lock() = 0;          // FSCTL_LOCK_VOLUME: refused while files are open
  virtual std::uint32_t Dismount() = 0;      // FSCTL_DISMOUNT_VOLUME
  virtual std::uint32_t AllowRemoval() = 0;  // IOCTL_STORAGE_MEDIA_REMOVAL, prevention off
  virtual std::uint32_t Eject() = 0;         // IOCTL_STORAGE_EJECT_MEDIA
};

class Drives {
 public:
  virtual ~Drives() = default;

  // GetLogicalDrives: bit 0 stands for A, bit 25 for Z.
  virtual std::uint32_t LogicalDriveMask() = 0;

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

  // \\.\E: opened for reading (which a restricted user may do), or nothing with the
  // system's error code in `error`.
  virtual std::unique_ptr<RemovableMedium> OpenMedium(wchar_t letter, std::uint32_t& error) = 0;

  // The storage numbers of the disks that Windows must keep: the one it runs from, the
  // one it booted from and those that hold a page file.
  virtual std::vector<StorageNumber> SystemDiskNumbers() = 0;

  // Whether the drive holds its medium now, asked without reading it: true, false for an
  // empty slot or drive, nothing when the drive cannot tell. A medium whose file system
  // Windows cannot read is there all the same.
  virtual std::optional<bool> MediumPresent(wchar_t letter) = 0;

  // GetVolumeInformationW of the drive's root: the volume's label (empty when it has
  // none); nothing when the drive holds no readable volume.
  virtual std::optional<std::wstring> VolumeLabel(wchar_t letter) = 0;

  // GetVolumeNameForVolumeMountPointW: the unique name ("\\?\Volume{...}\") of the
  // volume mounted at `path`, a drive's root or a folder, ending in a backslash;
  // nothing when no volume is mounted there.
  virtual std::optional<std::wstring> MountedVolume(const std::wstring& path) = 0;

  // GetVolumePathNamesForVolumeNameW of a unique volume name: every root and folder the
  // volume is mounted at ("E:\", "C:\mnt\stick\"); empty when it tells none (Windows
  // 2000 has no such call).
  virtual std::vector<std::wstring> MountPaths(const std::wstring& volume) = 0;
};
