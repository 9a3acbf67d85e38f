// The drives for "/whatif": every answer is the system's, but no medium is touched.
// A card that would come out is kept here instead, so that the what-if walks the very
// removal that would run.
#pragma once

#include <memory>
#include <vector>

#include "drives/Drives.h"

class WithheldMediaDrives final : public Drives {
 public:
  explicit WithheldMediaDrives(Drives& drives) : drives_(drives) {}

  // The drives whose medium would have been taken out, in order.
  const std::vector<wchar_t>& Withheld() const { return withheld_; }

  std::uint32_t LogicalDriveMask() override { return drives_.LogicalDriveMask(); }
  unsigned DriveType(wchar_t letter) override { return drives_.DriveType(letter); }
  std::optional<std::wstring> DosDevice(wchar_t letter) override {
    return drives_.DosDevice(letter);
  }
  std::vector<StorageNumber> VolumeNumbers(wchar_t letter) override {
    return drives_.VolumeNumbers(letter);
  }
  std::optional<StorageNumber> DeviceNumber(const std::wstring& devicePath) override {
    return drives_.DeviceNumber(devicePath);
  }
  std::vector<StorageNumber> SystemDiskNumbers() override { return drives_.SystemDiskNumbers(); }
  std::optional<bool> MediumPresent(wchar_t letter) override {
    return drives_.MediumPresent(letter);
  }
  std::optional<std::wstring> VolumeLabel(wchar_t letter) override {
    return drives_.VolumeLabel(letter);
  }
  std::optional<std::wstring> MountedVolume(const std::wstring& path) override {
    return drives_.MountedVolume(path);
  }
  std::vector<std::wstring> MountPaths(const std::wstring& volume) override {
    return drives_.MountPaths(volume);
  }
  // An empty slot is asked without touching it, and answers as its opening would.
  std::unique_ptr<RemovableMedium> OpenMedium(wchar_t letter, std::uint32_t& error) override {
    if (drives_.MediumPresent(letter) == false) {
      error = winvalues::kErrorNotReady;
      return nullptr;
    }
    error = 0;
    withheld_.push_back(letter);
    return std::make_unique<UntouchedMedium>();
  }

 private:
  class UntouchedMedium final : public RemovableMedium {
   public:
    std::uint32_t Lock() override { return 0; }
    std::uint32_t Dismount() override { return 0; }
    std::uint32_t AllowRemoval() override { return 0; }
    std::uint32_t Eject() override { return 0; }
  };

  Drives& drives_;
  std::vector<wchar_t> withheld_;
};
