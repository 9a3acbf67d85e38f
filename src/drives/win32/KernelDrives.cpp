#include "drives/win32/KernelDrives.h"

#include <windows.h>
// windows.h first: winioctl.h relies on its types.
#include <winioctl.h>

#include <cstddef>
#include <cwchar>

#include "common/WinValues.h"
#include "common/win32/Handles.h"
#include "common/win32/QuietCriticalErrors.h"
#include "common/win32/SystemLibrary.h"

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
  const HANDLE handle = ::CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
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
    const BOOL done =
        ::DeviceIoControl(volume, IOCTL_VOLUME_GET_VOLUME_DISK_EXTENTS, nullptr, 0, buffer.data(),
                          static_cast<DWORD>(buffer.size()), &returned, nullptr);
    const auto* extents = reinterpret_cast<const VOLUME_DISK_EXTENTS*>(buffer.data());
    if (done) {
      const std::size_t fit =
          (buffer.size() - offsetof(VOLUME_DISK_EXTENTS, Extents)) / sizeof(DISK_EXTENT);
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

std::vector<StorageNumber> NumbersOfVolume(const std::wstring& path) {
  const win32::UniqueHandle volume = OpenForQueries(path);
  if (!volume) return {};
  if (const auto number = NumberOf(volume.get())) return {*number};
  return ExtentDisks(volume.get());
}

std::uint32_t Control(HANDLE volume, DWORD code, void* in = nullptr, DWORD inSize = 0) {
  DWORD returned = 0;
  return ::DeviceIoControl(volume, code, in, inSize, nullptr, 0, &returned, nullptr)
             ? 0
             : ::GetLastError();
}

// Read access is what the media-removal and eject requests ask of their handle, and all a
// restricted user gets; the lock needs the volume shared for reading and writing.
class KernelMedium final : public RemovableMedium {
 public:
  explicit KernelMedium(win32::UniqueHandle volume) : volume_(std::move(volume)) {}
  std::uint32_t Lock() override { return Control(volume_.get(), FSCTL_LOCK_VOLUME); }
  std::uint32_t Dismount() override { return Control(volume_.get(), FSCTL_DISMOUNT_VOLUME); }
  std::uint32_t AllowRemoval() override {
    PREVENT_MEDIA_REMOVAL prevent{};
    prevent.PreventMediaRemoval = FALSE;
    return Control(volume_.get(), IOCTL_STORAGE_MEDIA_REMOVAL, &prevent, sizeof(prevent));
  }
  std::uint32_t Eject() override { return Control(volume_.get(), IOCTL_STORAGE_EJECT_MEDIA); }

 private:
  win32::UniqueHandle volume_;
};

// A REG_SZ or REG_MULTI_SZ value of HKEY_LOCAL_MACHINE, each string apart; nothing when
// it cannot be read.
std::vector<std::wstring> MachineStrings(const wchar_t* key, const wchar_t* value) {
  HKEY opened = nullptr;
  if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
    return {};
  DWORD type = 0;
  DWORD bytes = 0;
  std::vector<wchar_t> data;
  if (::RegQueryValueExW(opened, value, nullptr, &type, nullptr, &bytes) == ERROR_SUCCESS &&
      (type == REG_SZ || type == REG_MULTI_SZ)) {
    // Two more units: a stored value need not end with its NULs.
    data.resize(bytes / sizeof(wchar_t) + 2);
    if (::RegQueryValueExW(opened, value, nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                           &bytes) != ERROR_SUCCESS)
      data.clear();
  }
  ::RegCloseKey(opened);
  std::vector<std::wstring> strings;
  for (std::size_t at = 0; at < data.size() && data[at] != L'\0';) {
    std::wstring each(data.data() + at);
    at += each.size() + 1;
    strings.push_back(std::move(each));
  }
  return strings;
}

// "\??\C:\pagefile.sys" names drive C.
std::optional<wchar_t> LetterOfNtPath(const std::wstring& path) {
  const std::size_t colon = path.find(L':');
  if (colon == 0 || colon == std::wstring::npos) return std::nullopt;
  const wchar_t letter = path[colon - 1];
  if ((letter >= L'A' && letter <= L'Z') || (letter >= L'a' && letter <= L'z')) return letter;
  return std::nullopt;
}

}  // namespace

std::uint32_t KernelDrives::LogicalDriveMask() { return ::GetLogicalDrives(); }

unsigned KernelDrives::DriveType(wchar_t letter) {
  return ::GetDriveTypeW((DriveName(letter) + L"\\").c_str());
}

// The first of the names, the one in effect.
std::optional<std::wstring> KernelDrives::DosDevice(wchar_t letter) {
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

std::vector<StorageNumber> KernelDrives::VolumeNumbers(wchar_t letter) {
  return NumbersOfVolume(L"\\\\.\\" + DriveName(letter));
}

std::optional<StorageNumber> KernelDrives::DeviceNumber(const std::wstring& devicePath) {
  const win32::UniqueHandle device = OpenForQueries(devicePath);
  return device ? NumberOf(device.get()) : std::nullopt;
}

std::unique_ptr<RemovableMedium> KernelDrives::OpenMedium(wchar_t letter, std::uint32_t& error) {
  const HANDLE handle =
      ::CreateFileW((L"\\\\.\\" + DriveName(letter)).c_str(), GENERIC_READ,
                    FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    error = ::GetLastError();
    return nullptr;
  }
  error = 0;
  return std::make_unique<KernelMedium>(win32::UniqueHandle(handle));
}

std::vector<StorageNumber> KernelDrives::SystemDiskNumbers() {
  if (systemDisks_) return *systemDisks_;
  std::vector<StorageNumber> kept;
  const auto add = [&kept](const std::vector<StorageNumber>& numbers) {
    kept.insert(kept.end(), numbers.begin(), numbers.end());
  };
  wchar_t folder[MAX_PATH + 1] = {};
  if (::GetSystemDirectoryW(folder, MAX_PATH) >= 2 && folder[1] == L':')
    add(VolumeNumbers(folder[0]));
  // The partition the firmware booted from has no letter as a rule.
  for (const std::wstring& partition : MachineStrings(L"SYSTEM\\Setup", L"SystemPartition"))
    add(NumbersOfVolume(L"\\\\?\\GLOBALROOT" + partition));
  for (const std::wstring& pageFile :
       MachineStrings(L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Memory Management",
                      L"ExistingPageFiles"))
    if (const auto letter = LetterOfNtPath(pageFile)) add(VolumeNumbers(*letter));
  systemDisks_ = kept;
  return kept;
}

namespace {

std::optional<bool> PresenceOfError(DWORD error) {
  if (error == ERROR_NOT_READY || error == ERROR_NO_MEDIA_IN_DRIVE) return false;
  // RAW: a medium whose file system Windows cannot read is in the drive all the same.
  if (error == ERROR_UNRECOGNIZED_VOLUME) return true;
  return std::nullopt;
}

}  // namespace

// IOCTL_STORAGE_CHECK_VERIFY2 needs no access right and neither mounts nor reads the
// medium, so it wakes no file system and shows no "insert a disk" box. A drive that does
// not know the request is asked for its volume instead, which an empty one cannot give.
std::optional<bool> KernelDrives::MediumPresent(wchar_t letter) {
  const win32::UniqueHandle drive = OpenForQueries(L"\\\\.\\" + DriveName(letter));
  if (!drive) return PresenceOfError(::GetLastError());
  const std::uint32_t checked = Control(drive.get(), IOCTL_STORAGE_CHECK_VERIFY2);
  if (checked == 0) return true;
  if (const auto told = PresenceOfError(checked)) return told;
  const win32::QuietCriticalErrors quiet;
  if (::GetVolumeInformationW((DriveName(letter) + L"\\").c_str(), nullptr, 0, nullptr, nullptr,
                              nullptr, nullptr, 0))
    return true;
  return PresenceOfError(::GetLastError());
}

// GetVolumeInformationW takes at most MAX_PATH + 1 characters for the label.
std::optional<std::wstring> KernelDrives::VolumeLabel(wchar_t letter) {
  wchar_t label[MAX_PATH + 1] = {};
  const win32::QuietCriticalErrors quiet;
  const BOOL read = ::GetVolumeInformationW((DriveName(letter) + L"\\").c_str(), label,
                                            MAX_PATH + 1, nullptr, nullptr, nullptr, nullptr, 0);
  if (!read) return std::nullopt;
  return std::wstring(label, ::wcsnlen(label, MAX_PATH + 1));
}

std::optional<std::wstring> KernelDrives::MountedVolume(const std::wstring& path) {
  // 50 units hold "\\?\Volume{GUID}\" and its NUL, as the reference page says.
  wchar_t volume[50] = {};
  const win32::QuietCriticalErrors quiet;
  const BOOL found = ::GetVolumeNameForVolumeMountPointW(path.c_str(), volume, 50);
  if (!found) return std::nullopt;
  return std::wstring(volume, ::wcsnlen(volume, 50));
}

std::vector<std::wstring> KernelDrives::MountPaths(const std::wstring& volume) {
  // Windows XP brought the call: bound at run time, so that Windows 2000 still starts.
  using PathNamesFunction = BOOL(WINAPI*)(LPCWSTR, LPWCH, DWORD, PDWORD);
  static const auto pathNames =
      win32::Kernel32Function<PathNamesFunction>("GetVolumePathNamesForVolumeNameW");
  if (pathNames == nullptr) return {};
  // Strings each ended by a NUL, the list by one more; a buffer too small fails with
  // ERROR_MORE_DATA and the length needed, which a mount added meanwhile may outgrow.
  std::vector<wchar_t> buffer(MAX_PATH + 1);
  DWORD needed = 0;
  const win32::QuietCriticalErrors quiet;
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (pathNames(volume.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()), &needed)) {
      std::vector<std::wstring> paths;
      for (const wchar_t* path = buffer.data(); *path != L'\0'; path += ::wcslen(path) + 1)
        paths.emplace_back(path);
      return paths;
    }
    if (::GetLastError() != ERROR_MORE_DATA || needed <= buffer.size()) return {};
    buffer.assign(needed, L'\0');
  }
  return {};
}
