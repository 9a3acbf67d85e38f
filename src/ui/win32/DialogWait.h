// The small modal window that names the device being removed while a slow removal
// runs; it closes itself once the worker thread has ended.
#pragma once

#include <windows.h>

#include <string>

#include "common/win32/Dialog.h"

class CDialogWait final : public win32::Dialog {
 public:
  // `worker` must stay open until the dialog has closed; the dialog never owns it.
  CDialogWait(HWND parent, HANDLE worker, std::wstring deviceName);

 private:
  INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnInitDialog();
  void OnTimer(UINT_PTR id);
  void OnCancel();

  HANDLE m_hWorker;
  std::wstring m_strDeviceName;
};
