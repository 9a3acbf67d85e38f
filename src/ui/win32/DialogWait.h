// The small modal window that names the device being removed while a slow removal
// runs; it closes itself once the removal is done (its report, a message the worker
// may show, comes after it), or when the user abandons the removal.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "common/win32/Dialog.h"

class CDialogWait final : public win32::Dialog {
 public:
  // Abandons the worker; false when it is too late to (see WorkerThreadPort).
  using Abandoner = std::function<bool()>;

  // `removalDone` is signalled once the removal is done; it must stay open until the
  // dialog has closed, and the dialog never owns it.
  CDialogWait(HWND parent, HANDLE removalDone, Abandoner abandon, std::wstring deviceName);

 private:
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnInitDialog();
  void OnTimer(UINT_PTR id);
  void OnCancel();

  HANDLE m_hRemovalDone;
  Abandoner m_abandon;
  std::wstring m_strDeviceName;
};
