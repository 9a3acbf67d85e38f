// The modal dialog in which the user types the hotkey of one device row; it hands
// back only a hotkey that the system has just accepted in a test registration.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "common/win32/Dialog.h"

class CDialogHotkey final : public win32::Dialog {
 public:
  // Shown over the last active pop-up of `mainWindow` (the settings sheet), not over a
  // window of the caller's choosing.
  CDialogHotkey(HWND mainWindow, std::wstring helpPath);

  // Input before DoModal, result after IDOK.
  std::uint32_t m_nHotkey = 0;
  bool m_bWinkey = false;

 private:
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnInitDialog();
  void OnOK();

  std::wstring m_strHelpPath;
};
