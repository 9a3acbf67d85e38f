#include "ui/win32/DialogWait.h"

#include "common/win32/MessageBoxPrompter.h"
#include "resources/resource.h"
#include "ui/WaitDialogLogic.h"

namespace {

constexpr int kIdDeviceName = IDC_WAIT_DEVICE_NAME;

class RemovalHandlePort final : public WorkerThreadPort {
 public:
  RemovalHandlePort(HANDLE removalDone, const CDialogWait::Abandoner& abandon)
      : removalDone_(removalDone), abandon_(abandon) {}
  bool HasEnded() override { return ::WaitForSingleObject(removalDone_, 0) == WAIT_OBJECT_0; }
  bool Abandon() override { return abandon_ && abandon_(); }

 private:
  HANDLE removalDone_;
  const CDialogWait::Abandoner& abandon_;
};

}  // namespace

CDialogWait::CDialogWait(HWND parent, HANDLE removalDone, Abandoner abandon,
                         std::wstring deviceName)
    : Dialog(IDD_WAIT, parent),
      m_hRemovalDone(removalDone),
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
  RemovalHandlePort worker(m_hRemovalDone, m_abandon);
  if (OnWaitTick(worker) == WaitTick::Close) {
    ::EndDialog(hwnd(), IDOK);
  } else {
    ::SetTimer(hwnd(), kWaitPollTimerId, kWaitPollPeriodMs, nullptr);
  }
}

void CDialogWait::OnCancel() {
  RemovalHandlePort worker(m_hRemovalDone, m_abandon);
  MessageBoxPrompter prompter(hwnd());
  if (OnWaitCancel(worker, prompter) == WaitTick::Close) ::EndDialog(hwnd(), IDOK);
}
