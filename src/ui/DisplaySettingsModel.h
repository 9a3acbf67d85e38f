// The display settings page's rules: what its boxes show for the settings record,
// how a device-kind box changes the in-memory filter, and what an apply stores.
#pragma once

#include <array>
#include <cstdint>

#include "resources/SettingsPagesIds.h"
#include "settings/SettingsRecord.h"

class SettingsFile;

struct DeviceKindBox {
  int controlId;
  std::uint32_t bit;
};

// In the order the page's click handlers are listed.
inline constexpr std::array<DeviceKindBox, 8> kDeviceKindBoxes = {{
    {IDC_DISPLAY_KIND_USB, kKindUsb},
    {IDC_DISPLAY_KIND_USB_HID, kKindUsbHid},
    {IDC_DISPLAY_KIND_USB_HUB, kKindUsbHub},
    {IDC_DISPLAY_KIND_PCMCIA, kKindPcmcia},
    {IDC_DISPLAY_KIND_IEEE1394, kKind1394},
    {IDC_DISPLAY_KIND_NETWORK, kKindNet},
    {IDC_DISPLAY_KIND_CARD, kKindCard},
    {IDC_DISPLAY_KIND_HOT_PLUG, kKindHotPlug},
}};

// The kinds the page shows and stores. The hub bit selects no device, so its box
// is never ticked and the bit is never written.
inline constexpr std::uint32_t kStoredDeviceKinds =
    kKindUsb | kKindPcmcia | kKind1394 | kKindUsbHid | kKindNet | kKindHotPlug | kKindCard;

struct DisplayPageBoxes {
  bool dispRejectErr = false;
  bool removeWindow = false;
  std::uint32_t kinds = 0;  // the ticked device-kind boxes as DEVICE_KIND bits
  bool operator==(const DisplayPageBoxes&) const = default;
};

struct DisplayPageStart {
  DisplayPageBoxes boxes;
  bool removeWindowEnabled = false;
  bool operator==(const DisplayPageStart&) const = default;
};

// The system's removal window that the program can close exists on Windows 2000
// only, so on XP and later its box is disabled and clear.
DisplayPageStart DisplayPageFromRecord(const SettingsRecord& record, bool xpOrLater);

// DEVICE_KIND bits of the ticked boxes; `checked` says whether a box's control is ticked.
template <typename IsChecked>
std::uint32_t TickedDeviceKinds(IsChecked checked) {
  std::uint32_t kinds = 0;
  for (const DeviceKindBox& box : kDeviceKindBoxes) {
    if (checked(box.controlId)) kinds |= box.bit;
  }
  return kinds;
}

// The in-memory filter while the page is open. A box click changes it at once, so
// that the device list page can refresh with the new kinds before any apply; a
// cancelled sheet puts back the value the page found, so that nothing the user
// discarded reaches the running program.
class DeviceKindEdit {
 public:
  explicit DeviceKindEdit(std::uint32_t& filter) : filter_(filter), original_(filter) {}
  void OnBoxClicked(std::uint32_t bit, bool ticked);
  void OnCancel() { filter_ = original_; }

 private:
  std::uint32_t& filter_;
  std::uint32_t original_;
};

// Writes DISP_REJECT_ERR, REMOVE_WINDOW, DEVICE_KIND and REMOVE_WINDOW_TIME of
// section "APP", in that order.
void ApplyDisplaySettings(SettingsFile& file, const DisplayPageBoxes& boxes, bool xpOrLater,
                          std::int32_t removeWindowTime);
