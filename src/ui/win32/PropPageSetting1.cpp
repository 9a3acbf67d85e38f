#include "ui/win32/PropPageSetting1.h"

#include "common/win32/WindowsVersion.h"
#include "resources/SettingsPagesIds.h"
#include "resources/resource.h"
#include "ui/win32/DialogControls.h"

CPropPageSetting1::CPropPageSetting1(const SheetContext& context)
    : win32::PropertyPage(IDD_DISPLAY_SETTINGS), m_context(context) {}

BOOL CPropPageSetting1::OnInitDialog() {
  m_bXpOrLater = win32::QueryWindowsVersion().IsXpOrLater();
  SettingsRecord& record = m_context.settings;
  m_kindEdit.emplace(record.m_nDeviceKind);

  const DisplayPageStart start = DisplayPageFromRecord(record, m_bXpOrLater);
  ui::EnableControl(hwnd(), IDC_DISPLAY_REMOVE_WINDOW, start.removeWindowEnabled);
  ui::SetChecked(hwnd(), IDC_DISPLAY_REMOVE_WINDOW, start.boxes.removeWindow);
  ui::SetChecked(hwnd(), IDC_DISPLAY_REJECT_ERR, start.boxes.dispRejectErr);
  for (const DeviceKindBox& box : kDeviceKindBoxes) {
    ui::SetChecked(hwnd(), box.controlId, (start.boxes.kinds & box.bit) != 0);
  }
  return TRUE;
}

INT_PTR CPropPageSetting1::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
    OnKindBoxClicked(LOWORD(wParam));
    return FALSE;
  }
  if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == PSN_RESET) {
    if (m_kindEdit) m_kindEdit->OnCancel();
    return FALSE;
  }
  return FALSE;
}

void CPropPageSetting1::OnKindBoxClicked(int id) {
  if (!m_kindEdit) return;
  for (const DeviceKindBox& box : kDeviceKindBoxes) {
    if (box.controlId == id) m_kindEdit->OnBoxClicked(box.bit, ui::IsChecked(hwnd(), id));
  }
}

void CPropPageSetting1::OnApply() {
  DisplayPageBoxes boxes;
  boxes.dispRejectErr = ui::IsChecked(hwnd(), IDC_DISPLAY_REJECT_ERR);
  boxes.removeWindow = ui::IsChecked(hwnd(), IDC_DISPLAY_REMOVE_WINDOW);
  boxes.kinds = TickedDeviceKinds([this](int id) { return ui::IsChecked(hwnd(), id); });
  ApplyDisplaySettings(m_context.settingsFile, boxes, m_bXpOrLater,
                       m_context.settings.m_nRemoveWindowTime);
}
