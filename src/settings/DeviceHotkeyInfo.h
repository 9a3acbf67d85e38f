// One device registration, or one listed device: the record that travels by value
// between the settings file, the resident table and the device list.
#pragma once

#include <cstdint>
#include <string>

struct tag_device_hotkey_info {
  std::wstring name;              // display name; empty marks a free record
  std::wstring key;               // entry key it was read under ("001".."256", "STORAGE")
  std::uint32_t hotkey = 0;       // hotkey code: virtual key bits 0-15, modifier byte 16-23
  std::int32_t winkey = 0;        // Windows-key flag
  std::int32_t present = 0;       // device connected now (only bit 0 counts)
  std::int32_t image = 0;         // class icon index
  std::int32_t reject_times = 0;  // successful removals
  std::uint32_t device_kind = 1;  // one DEVICE_KIND bit
  std::uint32_t eject_on = 0;     // EjectMoment bits: also removed at these moments

  bool operator==(const tag_device_hotkey_info&) const = default;
};
