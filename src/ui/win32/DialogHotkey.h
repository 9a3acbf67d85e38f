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
  // EjectMoment bits; a moment the system does not tell of keeps its bit, greyed.
  std::uint32_t m_nEjectOn = 0;

 private:
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnInitDialog();
  void OnOK();
  std::uint32_t CheckedMoments() const;

  std::wstring m_strHelpPath;
};
