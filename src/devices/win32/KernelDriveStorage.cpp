#include "devices/win32/KernelDriveStorage.h"

#include <windows.h>
// windows.h first: winioctl.h relies on its types.
#include <winioctl.h>

#include <cstddef>
#include <cwchar>

#include "common/WinValues.h"
#include "common/win32/Handles.h"

namespace {

static_assert(winvalues::kFileDeviceDisk == FILE_DEVICE_DISK &&
              winvalues::kFileDeviceCdRom == FILE_DEVICE_CD_ROM);

// Longer than any DOS device list the system keeps for one name.
constexpr std::size_t kMaxDosDeviceUnits = 32768;

constexpr DWORD kNoDeviceNumber = 0xFFFFFFFF;

// More than any volume spans; a larger count is taken for a broken answer.
constexpr DWORD kMaxDiskExtents = 1024;

// Access 0: the storage queries need no read or write right, so they work for a user
// who may not open the raw device, and for media that are not there.
win32::UniqueHandle OpenForQueries(const std::wstring& path) {
  const HANDLE handle = ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, 0, nullptr);
  return win32::UniqueHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

std::optional<StorageNumber> NumberOf(HANDLE device) {
  STORAGE_DEVICE_NUMBER number{};
  DWORD returned = 0;
  if (!::DeviceIoControl(device, IOCTL_STORAGE_GET_DEVICE_NUMBER, nullptr, 0, &number,
                         sizeof(number), &returned, nullptr) ||
      returned < sizeof(number))
    return std::nullopt;
  // The path disks of a multipath disk all answer 0xFFFFFFFF: that names no one device.
  if (number.DeviceNumber == kNoDeviceNumber) return std::nullopt;
  return StorageNumber{number.DeviceType, number.DeviceNumber};
}

// Asked with room for one extent first; a volume of more answers ERROR_MORE_DATA with
// the count, and is asked again with room for all.
std::vector<StorageNumber> ExtentDisks(HANDLE volume) {
  std::vector<StorageNumber> disks;
  std::vector<unsigned char> buffer(sizeof(VOLUME_DISK_EXTENTS));
  for (int attempt = 0; attempt < 2; ++attempt) {
    DWORD returned = 0;
    const BOOL done = ::DeviceIoControl(volume, IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS, nullptr, 0,
                                        buffer.data(), static_cast<DWORD>(buffer.size()),
                                        &returned, nullptr);
    const auto* extents = reinterpret_cast<const VOLUME_DISK_EXTENTS*>(buffer.data());
    if (done) {
      const std::size_t fit = (buffer.size() - offsetof(VOLUME_DISK_EXTENTS, Extents)) /
                              sizeof(DISK_EXTENT);
      for (DWORD i = 0; i < extents->NumberOfDiskExtents && i < fit; ++i)
        disks.push_back({FILE_DEVICE_DISK, extents->Extents[i].DiskNumber});
      return disks;
    }
    if (::GetLastError() != ERROR_MORE_DATA || returned < sizeof(DWORD) ||
        extents->NumberOfDiskExtents > kMaxDiskExtents)
      return disks;
    buffer.resize(offsetof(VOLUME_DISK_EXTENTS, Extents) +
                  extents->NumberOfDiskExtents * sizeof(DISK_EXTENT));
  }
  return disks;
}

std::wstring DriveName(wchar_t letter) { return std::wstring{letter, L':'}; }

}  // namespace

unsigned KernelDriveStorage::DriveType(wchar_t letter) {
  return ::GetDriveTypeW((DriveName(letter) + L"\\").c_str());
}

// The first of the names, the one in effect.
std::optional<std::wstring> KernelDriveStorage::DosDevice(wchar_t letter) {
  const std::wstring drive = DriveName(letter);
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        ::QueryDosDeviceW(drive.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length != 0) return std::wstring(buffer.data(), ::wcsnlen(buffer.data(), length));
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || buffer.size() >= kMaxDosDeviceUnits)
      return std::nullopt;
    buffer.resize(buffer.size() * 2);
  }
}

std::vector<StorageNumber> KernelDriveStorage::VolumeNumbers(wchar_t letter) {
  const win32::UniqueHandle volume = OpenForQueries(L"\\\\.\\" + DriveName(letter));
  if (!volume) return {};
  if (const auto number = NumberOf(volume.get())) return {*number};
  return ExtentDisks(volume.get());
}

std::optional<StorageNumber> KernelDriveStorage::DeviceNumber(const std::wstring& devicePath) {
  const win32::UniqueHandle device = OpenForQueries(devicePath);
  return device ? NumberOf(device.get()) : std::nullopt;
}

// An empty card slot or CD drive must not make Windows ask for a disk in a box: a
// script waits for nobody.
std::optional<std::wstring> KernelDriveStorage::VolumeLabel(wchar_t letter) {
  const UINT oldMode = ::SetErrorMode(SEM_FAILCRITICALERRORS);
  wchar_t label[MAX_PATH + 1] = {};
  const BOOL read = ::GetVolumeInformationW((DriveName(letter) + L"\\").c_str(), label,
                                            MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0);
  ::SetErrorMode(oldMode);
  if (!read) return std::nullopt;
  return std::wstring(label, ::wcsnlen(label, MAX_PATH + 1));
}

std::optional<std::wstring> KernelDriveStorage::MountedVolume(const std::wstring& path) {
  // 50 units hold "\\?\Volume{GUID}\" and its NUL, as the reference page says.
  wchar_t volume[50] = {};
  const UINT oldMode = ::SetErrorMode(SEM_FAILCRITICALERRORS);
  const BOOL found = ::GetVolumeNameForVolumeMountPointW(path.c_str(), volume, 50);
  ::SetErrorMode(oldMode);
  if (!found) return std::nullopt;
  return std::wstring(volume, ::wcsnlen(volume, 50));
}
