// The drives seam of a machine with no drives: every question answered "nothing", so a
// fake overrides only what its test asks.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/WinValues.h"
#include "drives/Drives.h"

class UnansweredDrives : public Drives {
 public:
  std::uint32_t LogicalDriveMask() override { return 0; }
  unsigned DriveType(wchar_t) override { return winvalues::kDriveNoRootDir; }
  std::optional<std::wstring> DosDevice(wchar_t) override { return std::nullopt; }
  std::vector<StorageNumber> VolumeNumbers(wchar_t) override { return {}; }
  std::optional<StorageNumber> DeviceNumber(const std::wstring&) override { return std::nullopt; }
  std::unique_ptr<RemovableMedium> OpenMedium(wchar_t, std::uint32_t& error) override {
    error = winvalues::kErrorFileNotFound;
    return nullptr;
  }
  std::vector<StorageNumber> SystemDiskNumbers() override { return {}; }
  std::optional<bool> MediumPresent(wchar_t) override { return std::nullopt; }
  std::optional<std::wstring> VolumeLabel(wchar_t) override { return std::nullopt; }
  std::optional<std::wstring> MountedVolume(const std::wstring&) override { return std::nullopt; }
  std::vector<std::wstring> MountPaths(const std::wstring&) override { return {}; }
};
