#include "commandline/CommandLineDevices.h"

#include <algorithm>

#include "devices/DeviceEnumeration.h"
#include "devices/OfferedDevices.h"
#include "drives/DeviceLetters.h"
#include "pnp/DeviceNames.h"
#include "settings/SettingsRecord.h"

namespace {

std::string KindName(std::uint32_t kind) {
  switch (kind) {
    case kKindUsb:
      return "usb";
    case kKindPcmcia:
      return "pcmcia";
    case kKind1394:
      return "1394";
    case kKindUsbHid:
      return "hid";
    case kKindNet:
      return "network";
    case kKindCard:
      return "card";
    case kKindHotPlug:
      return "hotplug-disk";
    default:
      return "unknown";
  }
}

// The page's entries, with the instance ID of the node that first gave each its name
// and the names of the USB mass-storage devices.
class ListingSink final : public DeviceListSink {
 public:
  ListingSink(OfferedDevices& offered, DeviceTree& tree, bool usbStorage)
      : offered_(offered), tree_(tree), usbStorage_(usbStorage) {}

  void AddOrUpdateRow(const tag_device_hotkey_info& record, bool refresh) override {
    const std::size_t before = offered_.Count();
    offered_.AddOrUpdateRow(record, refresh);
    added_ = offered_.Count() > before;
    if (added_) ids_.emplace_back();
  }
  void NodeListed(DevNode node, const tag_device_hotkey_info&) override {
    if (added_ && tree_.GetDeviceInstanceId(node, ids_.back()) != winvalues::kCrSuccess)
      ids_.back().clear();
    added_ = false;
  }
  bool WantsUsbStorage() const override { return usbStorage_; }
  void UsbStorageListed(const std::wstring& name) override { storageNames_.push_back(name); }

  const std::wstring& InstanceId(std::size_t index) const { return ids_.at(index); }
  bool IsUsbStorage(const std::wstring& name) const {
    return std::any_of(storageNames_.begin(), storageNames_.end(),
                       [&](const std::wstring& own) { return DeviceNamesEqual(own, name); });
  }

 private:
  OfferedDevices& offered_;
  DeviceTree& tree_;
  bool usbStorage_;
  bool added_ = false;
  std::vector<std::wstring> ids_;  // by entry index
  std::vector<std::wstring> storageNames_;
};

// The letter's drive, then the folders its volume is mounted at, each with the label.
std::vector<ListedDrive> DrivesOfLetter(Drives& storage, wchar_t letter) {
  std::optional<std::wstring> label = storage.VolumeLabel(letter);
  if (label && label->empty()) label.reset();
  std::vector<ListedDrive> drives{{std::wstring{letter, L':'}, label}};
  const auto volume = storage.MountedVolume(std::wstring{letter, L':', L'\\'});
  if (!volume) return drives;
  for (std::wstring path : storage.MountPaths(*volume)) {
    // Roots are drives of their own; a folder is shown as people type it.
    if (path.size() <= 3) continue;
    if (path.back() == L'\\') path.pop_back();
    drives.push_back({std::move(path), label});
  }
  return drives;
}

}  // namespace

std::vector<ListedDevice> CommandLineDevices(DeviceTree& tree, const SystemNames& names,
                                             std::uint32_t deviceKind, Drives* storage,
                                             bool usbStorage) {
  OfferedDevices offered(names);
  ListingSink sink(offered, tree, usbStorage);
  DeviceEnumeration(tree, deviceKind, names, nullptr, sink)
      .ListStorageFrom(storage)
      .EnumerateDevices(true);

  std::vector<ListedDevice> devices{{names.storageDesc, kAllStorageKind, {}, true, false, {}}};
  for (std::size_t index = 0; index < offered.Count(); ++index) {
    // The page's all-storage row is its own label; the command line knows that entry
    // by the storage description, already first.
    if (offered.IsAllStorageEntry(index)) continue;
    const tag_device_hotkey_info& record = offered.At(index);
    devices.push_back({record.name,
                       KindName(record.device_kind),
                       sink.InstanceId(index),
                       (record.present & 1) != 0,
                       sink.IsUsbStorage(record.name),
                       {}});
  }
  if (usbStorage)
    devices.front().present = std::any_of(devices.begin(), devices.end(),
                                          [](const ListedDevice& d) { return d.usbStorage; });
  return devices;
}

void AddListedDrives(std::vector<ListedDevice>& devices, DeviceTree& tree, Drives& storage) {
  for (const DeviceLetter& letter : FindDeviceLetters(tree, storage)) {
    const std::vector<ListedDrive> drives = DrivesOfLetter(storage, letter.letter);
    for (ListedDevice& device : devices) {
      // The all-storage entry holds no drive of its own: a script that picks the device
      // of a drive gets that device alone.
      if (device.kind != kAllStorageKind && letter.CarriedBy(device.name))
        device.drives.insert(device.drives.end(), drives.begin(), drives.end());
    }
  }
}
