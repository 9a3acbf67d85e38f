#include "ui/DisplaySettingsModel.h"

#include "settings/SettingsFile.h"

DisplayPageStart DisplayPageFromRecord(const SettingsRecord& record, bool xpOrLater) {
  DisplayPageStart start;
  start.removeWindowEnabled = !xpOrLater;
  start.boxes.removeWindow = !xpOrLater && record.m_bRemoveWindow != 0;
  start.boxes.dispRejectErr = record.m_bDispRejectErr != 0;
  start.boxes.kinds = record.m_nDeviceKind & kStoredDeviceKinds;
  return start;
}

void DeviceKindEdit::OnBoxClicked(std::uint32_t bit, bool ticked) {
  filter_ = ticked ? (filter_ | bit) : (filter_ & ~bit);
}

void ApplyDisplaySettings(SettingsFile& file, const DisplayPageBoxes& boxes, bool xpOrLater,
                          std::int32_t removeWindowTime) {
  constexpr std::wstring_view kApp = L"APP";
  file.WriteProfileInt(kApp, L"DISP_REJECT_ERR", boxes.dispRejectErr ? 1 : 0);
  file.WriteProfileInt(kApp, L"REMOVE_WINDOW", !xpOrLater && boxes.removeWindow ? 1 : 0);
  file.WriteProfileInt(kApp, L"DEVICE_KIND", static_cast<int>(boxes.kinds & kStoredDeviceKinds));
  file.WriteProfileInt(kApp, L"REMOVE_WINDOW_TIME", removeWindowTime);
}
