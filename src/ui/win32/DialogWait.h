// The small modal window that names the device being removed while a slow removal
// runs; it closes itself once the worker thread has ended, or when the user
// abandons the removal.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

#include "common/win32/Dialog.h"

class CDialogWait final : public win32::Dialog {
 public:
  // Abandons the worker; false when it is too late to (see WorkerThreadPort).
  using Abandoner = std::function<bool()>;

  // `worker` must stay open until the dialog has closed; the dialog never owns it.
  CDialogWait(HWND parent, HANDLE worker, Abandoner abandon, std::wstring deviceName);

 private:
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnInitDialog();
  void OnTimer(UINT_PTR id);
  void OnCancel();

  HANDLE m_hWorker;
  Abandoner m_abandon;
  std::wstring m_strDeviceName;
};
