// The moments at which a registration's device is removed besides its hotkey: stored in
// section EJECT_ON as the sum of their bits, and offered where the system tells of them.
#pragma once

#include <cstdint>

enum EjectMoment : std::uint32_t {
  kEjectOnSleep = 1,
  kEjectOnLock = 2,
  kEjectOnDisplayOff = 4,
};
inline constexpr std::uint32_t kEveryEjectMoment =
    kEjectOnSleep | kEjectOnLock | kEjectOnDisplayOff;

// Sleep everywhere; the lock from XP (5.1) on, where session notices begin; the display's
// state from Windows 8 (6.2) on.
constexpr std::uint32_t OfferedEjectMoments(unsigned major, unsigned minor) {
  std::uint32_t offered = kEjectOnSleep;
  if (major > 5 || (major == 5 && minor >= 1)) offered |= kEjectOnLock;
  if (major > 6 || (major == 6 && minor >= 2)) offered |= kEjectOnDisplayOff;
  return offered;
}
