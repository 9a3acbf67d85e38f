#include "ui/win32/DialogHotkey.h"

#include <commctrl.h>
#include <htmlhelp.h>

#include "app/win32/TollevaneApp.h"
#include "common/win32/HtmlHelp.h"
#include "common/win32/MessageBoxPrompter.h"
#include "hotkeys/HotkeyCode.h"
#include "hotkeys/win32/WindowHotkeyRegistrar.h"
#include "resident/win32/MainWnd.h"
#include "resources/DeviceListIds.h"
#include "resources/resource.h"
#include "ui/DeviceListHotkeyTrial.h"

namespace {

HWND MainWindowPopup() {
  const CMainWnd* main = TheApp().m_pMainWnd.get();
  if (main != nullptr && main->hwnd() != nullptr) return ::GetLastActivePopup(main->hwnd());
  return ::GetActiveWindow();
}

}  // namespace

CDialogHotkey::CDialogHotkey() : win32::Dialog(IDD_HOTKEY, MainWindowPopup()) {}

INT_PTR CDialogHotkey::HandleMessage(UINT message, WPARAM wParam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      OnInitDialog();
      return TRUE;
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK:
          OnOK();
          return TRUE;
        case IDCANCEL:
          ::EndDialog(hwnd(), IDCANCEL);
          return TRUE;
        case IDHELP:
          win32::CallHtmlHelp(hwnd(), TheApp().m_pszHelpFilePath.c_str(), HH_HELP_CONTEXT,
                              IDH_HOTKEY);
          return TRUE;
        default:
          return FALSE;
      }
    default:
      return FALSE;
  }
}

void CDialogHotkey::OnInitDialog() {
  // The control's empty state is the only way to show "no hotkey".
  if (m_nHotkey != 0)
    ::SendDlgItemMessageW(hwnd(), IDC_HOTKEY_ENTRY, HKM_SETHOTKEY, HotkeyToControl(m_nHotkey), 0);
  ::CheckDlgButton(hwnd(), IDC_HOTKEY_WINKEY, m_bWinkey ? BST_CHECKED : BST_UNCHECKED);
}

void CDialogHotkey::OnOK() {
  const auto controlValue = static_cast<std::uint16_t>(
      ::SendDlgItemMessageW(hwnd(), IDC_HOTKEY_ENTRY, HKM_GETHOTKEY, 0, 0));
  m_nHotkey = HotkeyFromControl(controlValue);
  m_bWinkey = ::IsDlgButtonChecked(hwnd(), IDC_HOTKEY_WINKEY) == BST_CHECKED;

  // The program's own hotkeys are released while the sheet is open, so a refusal here
  // means another application holds the combination.
  WindowHotkeyRegistrar registrar(hwnd());
  MessageBoxPrompter prompter(hwnd());
  if (TryHotkeyRegistration(registrar, m_nHotkey, m_bWinkey, prompter))
    ::EndDialog(hwnd(), IDOK);
}
