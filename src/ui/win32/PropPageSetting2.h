// The settings sheet's options page: the Startup-folder shortcut, the closing of
// Explorer windows before a removal, and the milestone message.
#pragma once

#include <windows.h>

#include <string>

#include "common/win32/PropertyPage.h"

class CPropPageSetting2 final : public win32::PropertyPage {
 public:
  CPropPageSetting2();

 protected:
  BOOL OnInitDialog() override;
  void OnApply() override;

 private:
  // Empty when the Startup folder is not available.
  std::wstring m_strShortcutPath;
};
