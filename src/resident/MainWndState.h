// The main window's members that its logic and the removal worker share.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "settings/DeviceHotkeyInfo.h"

inline constexpr std::size_t kInitialRegistrationTableSize = 16;
// m_nRemoveIndex of a removal that no registration counts (chosen from the eject menu).
inline constexpr std::int32_t kNoRegistration = -1;

struct MainWndState {
  std::uintptr_t m_nTrayRetryTimer = 0;
  std::int32_t m_bSheetOpen = 0;
  std::int32_t m_bRemoving = 0;
  std::wstring m_strRemoveDevice;
  // Index = hotkey id; a record with an empty name is free.
  std::vector<tag_device_hotkey_info> m_aDeviceHotkeyInfo =
      std::vector<tag_device_hotkey_info>(kInitialRegistrationTableSize);
  std::int32_t m_nRemoveIndex = 0;
  std::uintptr_t m_nRemoveWindowTimer = 0;
};
