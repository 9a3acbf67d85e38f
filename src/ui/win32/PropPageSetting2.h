// The settings sheet's options page: the Startup-folder shortcut, the closing of
// Explorer windows before a removal, and the milestone message.
#pragma once

#include <windows.h>

#include <string>

#include "common/win32/PropertyPage.h"
#include "ui/win32/SheetContext.h"

class CPropPageSetting2 final : public win32::PropertyPage {
 public:
  explicit CPropPageSetting2(const SheetContext& context);

 protected:
  BOOL OnInitDialog() override;
  void OnApply() override;

 private:
  const SheetContext& m_context;
  // Empty when the Startup folder is not available.
  std::wstring m_strShortcutPath;
};
