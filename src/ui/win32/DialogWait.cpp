#include "ui/win32/DialogWait.h"

#include "common/win32/MessageBoxPrompter.h"
#include "resources/resource.h"
#include "ui/WaitDialogLogic.h"

namespace {

constexpr int kIdDeviceName = IDC_WAIT_DEVICE_NAME;

class ThreadHandlePort final : public WorkerThreadPort {
 public:
  explicit ThreadHandlePort(HANDLE thread) : thread_(thread) {}
  bool HasEnded() override { return ::WaitForSingleObject(thread_, 0) == WAIT_OBJECT_0; }
  void Terminate(unsigned exitCode) override {
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    // The user asked for it; the removal request has no other way to be abandoned.
    ::TerminateThread(thread_, exitCode);
#pragma GCC diagnostic pop
  }

 private:
  HANDLE thread_;
};

}  // namespace

CDialogWait::CDialogWait(HWND parent, HANDLE worker, std::wstring deviceName)
    : Dialog(IDD_WAIT, parent), m_hWorker(worker), m_strDeviceName(std::move(deviceName)) {}

INT_PTR CDialogWait::HandleMessage(UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog();
      return TRUE;
    case WM_TIMER:
      OnTimer(wParam);
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wParam) == IDCANCEL) OnCancel();
      // Enter (IDOK) is swallowed: only the worker's end closes the dialog.
      return TRUE;
    default:
      return FALSE;
  }
}

void CDialogWait::OnInitDialog() {
  ::SetDlgItemTextW(hwnd(), kIdDeviceName, m_strDeviceName.c_str());
  ::SetTimer(hwnd(), kWaitPollTimerId, kWaitPollPeriodMs, nullptr);
}

void CDialogWait::OnTimer(UINT_PTR id) {
  if (id != kWaitPollTimerId) return;
  ::KillTimer(hwnd(), kWaitPollTimerId);
  ThreadHandlePort worker(m_hWorker);
  if (OnWaitTick(worker) == WaitTick::Close) {
    ::EndDialog(hwnd(), IDOK);
  } else {
    ::SetTimer(hwnd(), kWaitPollTimerId, kWaitPollPeriodMs, nullptr);
  }
}

void CDialogWait::OnCancel() {
  ThreadHandlePort worker(m_hWorker);
  MessageBoxPrompter prompter(hwnd());
  OnWaitCancel(worker, prompter);
}
