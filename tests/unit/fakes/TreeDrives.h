// The drives seam answered from a tree, as the kernel answers it: each drive
// letter names a volume (or CD-ROM) node; the volume lies on the disks that list it among
// their removal relations (a removable medium of Windows XP: on its parent disk), and a
// device interface path \\.\PhysicalDriveN or \\.\CdRomN answers device number N.
#pragma once

#include <algorithm>
#include <map>
#include <optional>
#include <memory>
#include <string>
#include <vector>

#include "common/WinValues.h"
#include "drives/DiskInterfaces.h"
#include "drives/Drives.h"
#include "fakes/FakeDeviceTree.h"
#include "fakes/UnansweredDrives.h"
#include "pnp/DeviceNames.h"

// The errors a drive's medium answers, step by step (0: done), and the steps asked of it.
struct MediumScript {
  std::uint32_t open = 0, lock = 0, dismount = 0, allow = 0, eject = 0;
  std::vector<std::string> asked;
  unsigned lockRefusals = ~0u;  // the lock answers `lock` this often, then 0
};

struct ScriptedMedium : RemovableMedium {
  explicit ScriptedMedium(MediumScript& answers) : script(answers) {}
  std::uint32_t Lock() override {
    return Ask("lock", locks++ < script.lockRefusals ? script.lock : 0);
  }
  std::uint32_t Dismount() override { return Ask("dismount", script.dismount); }
  std::uint32_t AllowRemoval() override { return Ask("allow", script.allow); }
  std::uint32_t Eject() override { return Ask("eject", script.eject); }
  std::uint32_t Ask(const char* step, std::uint32_t answer) { return script.asked.emplace_back(step), answer; }
  MediumScript& script;
  unsigned locks = 0;
};

class TreeDrives : public UnansweredDrives {
 public:
  std::map<wchar_t, MediumScript> media;  // a letter without one cannot be opened
  std::map<wchar_t, std::wstring> volumeLabels;  // a letter without one carries none
  // Every machine file numbers its internal disk 0.
  std::vector<StorageNumber> systemDisks = {{winvalues::kFileDeviceDisk, 0}};

  std::unique_ptr<RemovableMedium> OpenMedium(wchar_t letter, std::uint32_t& error) override {
    const auto script = media.find(letter);
    error = script == media.end() || Gone(letter) ? winvalues::kErrorFileNotFound : script->second.open;
    if (error != 0) return nullptr;
    return std::make_unique<ScriptedMedium>(script->second);
  }
  std::vector<StorageNumber> SystemDiskNumbers() override { return systemDisks; }
  std::optional<std::wstring> VolumeLabel(wchar_t letter) override {
    const auto label = volumeLabels.find(letter);
    return label == volumeLabels.end() ? std::nullopt : std::optional<std::wstring>(label->second);
  }
  // An empty slot answers as its open does; a letter without a script holds nothing.
  std::optional<bool> MediumPresent(wchar_t letter) override {
    const auto script = media.find(letter);
    return script != media.end() && !Gone(letter) && script->second.open != winvalues::kErrorNotReady &&
           script->second.open != winvalues::kErrorNoMediaInDrive;
  }

  struct Drive {
    unsigned type = winvalues::kDriveNoRootDir;
    std::wstring volumeId;  // empty: a drive of no node (a network drive)
  };

  TreeDrives(FakeDeviceTree& tree, std::map<wchar_t, Drive> drives)
      : tree_(tree), drives_(std::move(drives)) {}

  std::uint32_t LogicalDriveMask() override {
    std::uint32_t mask = 0;
    for (const auto& [letter, drive] : drives_)
      if (!Gone(letter)) mask |= std::uint32_t{1} << (letter - L'A');
    return mask;
  }

  unsigned DriveType(wchar_t letter) override {
    const auto drive = drives_.find(letter);
    return drive == drives_.end() || Gone(letter) ? winvalues::kDriveNoRootDir : drive->second.type;
  }

  std::optional<std::wstring> DosDevice(wchar_t letter) override {
    const auto volume = VolumeOf(letter);
    std::wstring name;
    if (!volume || tree_.simulated().PropertyValue(*volume, DeviceProperty::PhysicalDeviceObjectName,
                                                   name) != winvalues::kCrSuccess)
      return std::nullopt;
    return name;
  }

  std::vector<StorageNumber> VolumeNumbers(wchar_t letter) override {
    std::vector<StorageNumber> numbers;
    const auto volume = VolumeOf(letter);
    if (!volume) return numbers;
    if (const auto own = NumberOfNode(*volume)) return {*own};  // a CD-ROM drive
    std::wstring volumeId;
    tree_.simulated().DeviceId(*volume, volumeId);
    for (const DevNode node : tree_.simulated().PresentNodes()) {
      std::vector<std::wstring> related;
      tree_.simulated().RemovalRelations(node, related);
      // Relations keep the driver's letter case, CM_Get_Device_ID gives upper case.
      if (std::any_of(related.begin(), related.end(),
                      [&](const std::wstring& id) { return DeviceNamesEqual(id, volumeId); }))
        if (const auto number = NumberOfNode(node)) numbers.push_back(*number);
    }
    DevNode parent = 0;
    if (numbers.empty() && tree_.GetParent(parent, *volume) == winvalues::kCrSuccess)
      if (const auto number = NumberOfNode(parent)) numbers.push_back(*number);
    return numbers;
  }

  std::optional<StorageNumber> DeviceNumber(const std::wstring& devicePath) override {
    for (const auto& [prefix, type] : {std::pair{std::wstring(L"\\\\.\\PhysicalDrive"), winvalues::kFileDeviceDisk},
                                       std::pair{std::wstring(L"\\\\.\\CdRom"), winvalues::kFileDeviceCdRom}})
      if (devicePath.starts_with(prefix))
        return StorageNumber{type, static_cast<std::uint32_t>(std::stoul(devicePath.substr(prefix.size())))};
    return std::nullopt;
  }

 private:
  // A drive leaves with the device that held its volume.
  bool Gone(wchar_t letter) {
    const auto drive = drives_.find(letter);
    return drive != drives_.end() && !drive->second.volumeId.empty() && !VolumeOf(letter);
  }

  std::optional<DevNode> VolumeOf(wchar_t letter) {
    const auto drive = drives_.find(letter);
    DevNode node = 0;
    if (drive == drives_.end() || drive->second.volumeId.empty() ||
        tree_.simulated().LocateNode(drive->second.volumeId, node) != winvalues::kCrSuccess)
      return std::nullopt;
    return node;
  }

  std::optional<StorageNumber> NumberOfNode(DevNode node) {
    for (const SetupClassGuid& kind : {kGuidDevinterfaceDisk, kGuidDevinterfaceCdrom})
      for (const DeviceInterfacePath& found : tree_.GetDeviceInterfaces(kind))
        if (found.node == node) return DeviceNumber(found.path);
    return std::nullopt;
  }

  FakeDeviceTree& tree_;
  std::map<wchar_t, Drive> drives_;
};
