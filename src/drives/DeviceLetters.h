// The drive letters a device carries, read backwards from the rule that finds the
// device a letter ejects: so a name shown with a letter is the name whose removal
// takes that letter away.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "drives/Drives.h"
#include "pnp/DeviceTree.h"

struct DeviceLetter {
  wchar_t letter = 0;
  // The display names from the drive's disk (CD-ROM, floppy) up to the removable device
  // that holds it: the disk's name is what the device list offers, the holder's what a
  // registration made on it may carry.
  std::vector<std::wstring> names;

  bool CarriedBy(std::wstring_view name) const;
  bool operator==(const DeviceLetter&) const = default;
};

// Every letter from A to Z that a removable device holds, or whose card comes out of a
// reader inside the case, in letter order. A drive that nothing removable holds (the
// system disk, a network drive, no drive) is left out.
std::vector<DeviceLetter> FindDeviceLetters(DeviceTree& tree, Drives& storage);
