// The listing of removable devices for the device list page: which nodes it offers,
// under which names, in which order and as which records.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "drives/Drives.h"
#include "pnp/DeviceTree.h"
#include "pnp/SystemNames.h"
#include "settings/DeviceHotkeyInfo.h"

// Receives the listing, one record at a time, in order; the device list page keeps one
// row per display name.
class DeviceListSink {
 public:
  virtual ~DeviceListSink() = default;
  virtual void AddOrUpdateRow(const tag_device_hotkey_info& record, bool refresh) = 0;
  // Whether the sink is told which USB devices are mass storage: finding out reads the
  // parent of each, which the menus and the listing need not pay for.
  virtual bool WantsUsbStorage() const { return false; }
  // Told after the delivery of a USB mass-storage device's disk, which the all-storage
  // entry removes with the rest.
  virtual void UsbStorageListed(const std::wstring& name) { (void)name; }
  // Told after each delivery of a device node, for a sink that asks the node more.
  virtual void NodeListed(DevNode node, const tag_device_hotkey_info& record) {
    (void)node;
    (void)record;
  }
};

class DeviceEnumeration {
 public:
  // `deviceKind` is the global DEVICE_KIND; `imageList` the page's class image list.
  DeviceEnumeration(DeviceTree& tree, std::uint32_t deviceKind, const SystemNames& names,
                    const ClassImageList* imageList, DeviceListSink& sink);

  // The card slots and hot-plug disks are found through the drives' storage; without it
  // those two kinds list nothing. `storage` must outlive this object.
  DeviceEnumeration& ListStorageFrom(Drives* storage) {
    storage_ = storage;
    return *this;
  }

  // The all-storage entry (when USB is selected), the card slots, then the removable
  // devices of the selected kinds in sweep order, then the hot-plug disks. `refresh`
  // goes unchanged to every delivery.
  void EnumerateDevices(bool refresh);

  // The walk below a class device over `node` and its later siblings; true when anything
  // at this level was delivered or claimed. A claim rises one level only.
  bool ListBranch(DevNode node, std::uint32_t kind, bool refresh);

 private:
  void ListClassDevice(DevNode member, std::uint32_t kind, bool refresh);
  void Deliver(DevNode node, std::uint32_t kind, bool refresh);

  DeviceTree& tree_;
  std::uint32_t deviceKind_;
  SystemNames names_;
  const ClassImageList* imageList_;
  DeviceListSink& sink_;
  Drives* storage_ = nullptr;
  // Read once a listing, for the system-disk check of each device delivered.
  std::vector<DeviceInterfacePath> disks_;
};
