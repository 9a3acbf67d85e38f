// The tray icon's eject menu: which devices can be removed now, in which order and
// under which texts, and what choosing each one removes. Built anew at every opening
// from what is plugged in at that moment.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "devices/OfferedDevices.h"
#include "drives/DeviceLetters.h"
#include "pnp/SystemNames.h"
#include "settings/DeviceHotkeyInfo.h"

// A drive a device holds, as the menu names it.
struct LabelledDrive {
  DeviceLetter drive;
  std::wstring label;  // the volume label; empty when it has none, cannot be or was not read
  // Whether it holds its medium (an empty card slot keeps its drive letter on Windows 10);
  // nothing when the drive cannot tell or was not read in time.
  std::optional<bool> mediumPresent = std::nullopt;
};

// What choosing an item removes: the registration at a table index, removed exactly as
// its hotkey would, or a device by name that no registration counts.
struct EjectChoice {
  std::optional<std::size_t> registration;
  std::wstring name;  // the name the removal searches for

  bool operator==(const EjectChoice&) const = default;
};

struct EjectMenuItem {
  // As the menu takes it: '&' doubled, the hotkey's text after a tab.
  std::wstring text;
  EjectChoice choice;

  bool operator==(const EjectMenuItem&) const = default;
};

struct EjectMenuSources {
  // The main window's registration table (index = hotkey id; an empty name is free).
  const std::vector<tag_device_hotkey_info>& table;
  // What the device list would offer now for the global DEVICE_KIND.
  const OfferedDevices& offered;
  bool usbMassStoragePresent = false;
  const std::vector<LabelledDrive>& drives;
};

// Registered devices that are present first (table order), then the all-storage entry
// when USB mass storage is present, then every other offered device (listing order). A
// card slot is an item unless its drive was read empty.
// Empty when nothing can be removed.
std::vector<EjectMenuItem> BuildEjectMenu(const EjectMenuSources& sources,
                                          const SystemNames& names);

// A device name with its drives, "SanDisk Ultra USB Device (E: 写真, F:)", made safe
// for a menu: an '&' would otherwise underline the next character, a tab split the item.
std::wstring EjectItemText(const std::wstring& name, const std::vector<LabelledDrive>& drives);

// Finds the drives that removable devices carry, then reads each one's medium and, when
// the medium may be there, its label. After the drives are found and after each one is
// read, `publish` is handed them all, those not read yet as such: a menu that cannot wait
// for a sleeping disk takes what was read by then.
void ReadLabelledDrives(DeviceTree& tree, Drives& storage,
                        const std::function<void(const std::vector<LabelledDrive>&)>& publish);
