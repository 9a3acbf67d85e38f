#include "ui/win32/DialogHotkey.h"

#include <commctrl.h>
#include <htmlhelp.h>

#include "common/win32/HtmlHelp.h"
#include "common/win32/MessageBoxPrompter.h"
#include "common/win32/WindowsVersion.h"
#include "hotkeys/HotkeyCode.h"
#include "hotkeys/win32/WindowHotkeyRegistrar.h"
#include "resources/DeviceListIds.h"
#include "resources/resource.h"
#include "settings/EjectMoments.h"
#include "ui/DeviceListHotkeyTrial.h"

namespace {

struct MomentBox {
  int id;
  EjectMoment moment;
};
constexpr MomentBox kMomentBoxes[] = {{IDC_HOTKEY_EJECT_SLEEP, kEjectOnSleep},
                                      {IDC_HOTKEY_EJECT_LOCK, kEjectOnLock},
                                      {IDC_HOTKEY_EJECT_DISPLAY_OFF, kEjectOnDisplayOff}};

HWND LastActivePopupOf(HWND mainWindow) {
  if (mainWindow != nullptr) return ::GetLastActivePopup(mainWindow);
  return ::GetActiveWindow();
}

}  // namespace

CDialogHotkey::CDialogHotkey(HWND mainWindow, std::wstring helpPath)
    : win32::Dialog(IDD_HOTKEY, LastActivePopupOf(mainWindow)),
      m_strHelpPath(std::move(helpPath)) {}

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
          win32::CallHtmlHelp(hwnd(), m_strHelpPath.c_str(), HH_HELP_CONTEXT, IDH_HOTKEY);
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

  const win32::WindowsVersion version = win32::QueryWindowsVersion();
  const std::uint32_t offered = OfferedEjectMoments(version.major, version.minor);
  for (const MomentBox& box : kMomentBoxes) {
    ::CheckDlgButton(hwnd(), box.id, (m_nEjectOn & box.moment) != 0 ? BST_CHECKED : BST_UNCHECKED);
    ::EnableWindow(::GetDlgItem(hwnd(), box.id), (offered & box.moment) != 0 ? TRUE : FALSE);
  }
}

std::uint32_t CDialogHotkey::CheckedMoments() const {
  std::uint32_t moments = 0;
  for (const MomentBox& box : kMomentBoxes) {
    if (::IsDlgButtonChecked(hwnd(), box.id) == BST_CHECKED) moments |= box.moment;
  }
  return moments;
}

void CDialogHotkey::OnOK() {
  const auto controlValue = static_cast<std::uint16_t>(
      ::SendDlgItemMessageW(hwnd(), IDC_HOTKEY_ENTRY, HKM_GETHOTKEY, 0, 0));
  m_nHotkey = HotkeyFromControl(controlValue);
  m_bWinkey = ::IsDlgButtonChecked(hwnd(), IDC_HOTKEY_WINKEY) == BST_CHECKED;
  m_nEjectOn = CheckedMoments();

  // The program's own hotkeys are released while the sheet is open, so a refusal here
  // means another application holds the combination.
  WindowHotkeyRegistrar registrar(hwnd());
  MessageBoxPrompter prompter(hwnd());
  if (TryHotkeyRegistration(registrar, m_nHotkey, m_bWinkey, prompter)) ::EndDialog(hwnd(), IDOK);
}
