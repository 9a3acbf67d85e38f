// What "/list" knows of each device it names: the names for the plain listing, and for
// "/list /json", which scripts read as objects, what each is and which drives it holds.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "drives/Drives.h"
#include "pnp/DeviceTree.h"
#include "pnp/SystemNames.h"

struct ListedDrive {
  std::wstring path;                  // "E:", or a folder the volume is mounted at
  std::optional<std::wstring> label;  // only where the volume has one

  bool operator==(const ListedDrive&) const = default;
};

struct ListedDevice {
  std::wstring name;        // as the removal by name takes it
  std::string kind;         // "usb", "hid", "pcmcia", "1394", "network", "card", ...
  std::wstring instanceId;  // empty for the all-storage entry, or when Windows told none
  bool present = true;
  bool usbStorage = false;  // the all-storage entry removes it with the rest (when asked)
  std::vector<ListedDrive> drives;

  bool operator==(const ListedDevice&) const = default;
};

inline constexpr const char* kAllStorageKind = "all-storage";

// The storage description first, standing for every USB mass-storage device, then each
// device the device list page offers for `deviceKind`, once, in listing order; with
// `storage`, the card slots and hot-plug disks too. `usbStorage` finds out which devices
// the all-storage entry takes (it reads each USB device's parent); without it, the entry
// counts as present.
std::vector<ListedDevice> CommandLineDevices(DeviceTree& tree, const SystemNames& names,
                                             std::uint32_t deviceKind, Drives* storage,
                                             bool usbStorage);

// Each device's drive letters, with the folders their volumes are mounted at, as the
// removal by drive reads them.
void AddListedDrives(std::vector<ListedDevice>& devices, DeviceTree& tree, Drives& storage);
