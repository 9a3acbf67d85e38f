#include "ui/win32/DialogWait.h"

#include "common/win32/MessageBoxPrompter.h"
#include "resources/resource.h"
#include "ui/WaitDialogLogic.h"

namespace {

constexpr int kIdDeviceName = IDC_WAIT_DEVICE_NAME;

class ThreadHandlePort final : public WorkerThreadPort {
 public:
  ThreadHandlePort(HANDLE thread, const CDialogWait::Abandoner& abandon)
      : thread_(thread), abandon_(abandon) {}
  bool HasEnded() override { return ::WaitForSingleObject(thread_, 0) == WAIT_OBJECT_0; }
  bool Abandon() override { return abandon_ && abandon_(); }

 private:
  HANDLE thread_;
  const CDialogWait::Abandoner& abandon_;
};

}  // namespace

CDialogWait::CDialogWait(HWND parent, HANDLE worker, Abandoner abandon, std::wstring deviceName)
    : Dialog(IDD_WAIT, parent),
      m_hWorker(worker),
      m_abandon(std::move(abandon)),
      m_strDeviceName(std::move(deviceName)) {}

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
  ThreadHandlePort worker(m_hWorker, m_abandon);
  if (OnWaitTick(worker) == WaitTick::Close) {
    ::EndDialog(hwnd(), IDOK);
  } else {
    ::SetTimer(hwnd(), kWaitPollTimerId, kWaitPollPeriodMs, nullptr);
  }
}

void CDialogWait::OnCancel() {
  ThreadHandlePort worker(m_hWorker, m_abandon);
  MessageBoxPrompter prompter(hwnd());
  if (OnWaitCancel(worker, prompter) == WaitTick::Close) ::EndDialog(hwnd(), IDOK);
}
