// Which registrations a moment (sleep, lock, display off) removes, and how the display's
// state notices read as the display going off and coming back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "settings/DeviceHotkeyInfo.h"
#include "settings/EjectMoments.h"

// Table indices of the registrations that chose `moment`, in table order; free slots never.
std::vector<std::size_t> RegistrationsFor(const std::vector<tag_device_hotkey_info>& table,
                                          EjectMoment moment);

// GUID_CONSOLE_DISPLAY_STATE's values, as MONITOR_DISPLAY_STATE numbers them.
inline constexpr std::uint32_t kDisplayOff = 0;
inline constexpr std::uint32_t kDisplayOn = 1;
inline constexpr std::uint32_t kDisplayDimmed = 2;

// The system sends the display's state once at registration and then at every change:
// only a change counts, and dimming is neither off nor back.
class DisplayStateWatch {
 public:
  enum class Change { None, Off, On };
  Change Update(std::uint32_t state);

 private:
  std::optional<std::uint32_t> last_;
};
