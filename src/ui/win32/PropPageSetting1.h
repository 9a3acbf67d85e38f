// The settings sheet's display settings page: the two message options and the
// device-kind filter that decides which devices are listed, registered and searched.
#pragma once

#include <windows.h>

#include <optional>

#include "common/win32/PropertyPage.h"
#include "ui/DisplaySettingsModel.h"
#include "ui/win32/SheetContext.h"

class CPropPageSetting1 final : public win32::PropertyPage {
 public:
  explicit CPropPageSetting1(const SheetContext& context);

 protected:
  BOOL OnInitDialog() override;
  void OnApply() override;
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void OnKindBoxClicked(int id);

  const SheetContext& m_context;
  bool m_bXpOrLater = false;
  // Bound to the settings record while the page's window exists.
  std::optional<DeviceKindEdit> m_kindEdit;
};
