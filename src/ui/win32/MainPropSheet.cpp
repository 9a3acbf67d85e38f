#include "ui/win32/MainPropSheet.h"

#include <commctrl.h>
#include <htmlhelp.h>

#include <algorithm>
#include <array>
#include <string>

#include "common/win32/HtmlHelp.h"
#include "common/win32/MessageBoxPrompter.h"
#include "common/win32/ResourceStrings.h"
#include "common/win32/SystemErrorText.h"
#include "resources/resource.h"
#include "ui/SheetHelp.h"

namespace {

using WindowData = CMainPropSheet::WindowData;

// The sheet's own window procedure and help path, kept on the sheet while it is
// subclassed. The creation callback has no user data, so the window itself has to
// carry them.
constexpr wchar_t kSheetProcProperty[] = L"Tollevane.SheetProc";

// The data of the sheet that PropertySheetW is creating on this thread, for the
// creation callback to put on the window; set only while that call lasts.
thread_local WindowData* t_creatingSheet = nullptr;

void OpenActivePageHelp(HWND sheet, const std::wstring& helpPath) {
  const int index = PropSheet_HwndToIndex(sheet, PropSheet_GetCurrentPageHwnd(sheet));
  if (const std::optional<unsigned> topic = SheetHelpTopic(index)) {
    win32::CallHtmlHelp(sheet, helpPath.c_str(), HH_HELP_CONTEXT, *topic);
  }
}

// The sheet's owner is the sizeless main window in the middle of the screen, at
// whose corner the sheet would otherwise open, half way off towards the screen's
// edge. Done at the first showing, when the sheet has taken its final size.
void CentreOnItsMonitor(HWND sheet) {
  MONITORINFO monitor = {};
  monitor.cbSize = sizeof monitor;
  RECT rect = {};
  if (!::GetWindowRect(sheet, &rect) ||
      !::GetMonitorInfoW(::MonitorFromWindow(sheet, MONITOR_DEFAULTTONEAREST), &monitor)) {
    return;
  }
  const RECT& work = monitor.rcWork;
  const int width = rect.right - rect.left;
  const int height = rect.bottom - rect.top;
  const int x = work.left + std::max(0L, (work.right - work.left - width) / 2);
  const int y = work.top + std::max(0L, (work.bottom - work.top - height) / 2);
  ::SetWindowPos(sheet, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// OK has every page save what it holds; together their writes are one save, so that a
// file that cannot take them is left whole and the user is told once.
LRESULT SaveOnOk(HWND sheet, const WindowData& data, WPARAM wParam, LPARAM lParam) {
  SettingsSave save(*data.settingsFile);
  const LRESULT result = ::CallWindowProcW(data.original, sheet, WM_COMMAND, wParam, lParam);
  if (const std::uint32_t error = save.Finish()) {
    MessageBoxPrompter(sheet).Show(IDS_SETTINGS_NOT_SAVED, win32::SystemErrorText(error),
                                   IDS_ERROR_CAPTION, MB_OK | MB_ICONERROR);
  }
  return result;
}

// The Help button is taken here, before the sheet would hand it to the page as
// PSN_HELP, so that one place decides the topic for every page.
// WM_SHOWWINDOW with lParam 0 comes from ShowWindow, not from an owner's minimising.
LRESULT CALLBACK SheetProc(HWND sheet, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto* data = static_cast<const WindowData*>(::GetPropW(sheet, kSheetProcProperty));
  if (data == nullptr) return ::DefDlgProcW(sheet, message, wParam, lParam);
  const WNDPROC original = data->original;
  if (message == WM_COMMAND && LOWORD(wParam) == IDHELP) {
    OpenActivePageHelp(sheet, *data->helpPath);
    return 0;
  }
  if (message == WM_COMMAND && LOWORD(wParam) == IDOK)
    return SaveOnOk(sheet, *data, wParam, lParam);
  if (message == WM_SHOWWINDOW && wParam != FALSE && lParam == 0) CentreOnItsMonitor(sheet);
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(sheet, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
    ::RemovePropW(sheet, kSheetProcProperty);
  }
  return ::CallWindowProcW(original, sheet, message, wParam, lParam);
}

int CALLBACK SheetCallback(HWND sheet, UINT message, LPARAM) {
  if (message == PSCB_INITIALIZED && t_creatingSheet != nullptr) {
    WindowData& data = *t_creatingSheet;
    data.original = reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(sheet, GWLP_WNDPROC));
    if (::SetPropW(sheet, kSheetProcProperty, &data)) {
      ::SetWindowLongPtrW(sheet, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SheetProc));
    }
  }
  return 0;
}

}  // namespace

CMainPropSheet::CMainPropSheet(const SheetContext& context, int startPage)
    : m_context(context),
      m_nStartPage(startPage >= 0 && startPage < kSheetPageCount ? startPage : 0),
      m_windowData{nullptr, &m_context.helpPath, &m_context.settingsFile},
      m_pageList(m_context),
      m_pageSetting1(m_context),
      m_pageSetting2(m_context) {}

INT_PTR CMainPropSheet::DoModal() {
  std::array<win32::PropertyPage*, kSheetPageCount> pages = {&m_pageList, &m_pageSetting1,
                                                             &m_pageSetting2, &m_pageVersion};
  std::array<HPROPSHEETPAGE, kSheetPageCount> handles = {};
  for (std::size_t i = 0; i < pages.size(); ++i) {
    const PROPSHEETPAGEW descriptor = pages[i]->Descriptor();
    handles[i] = ::CreatePropertySheetPageW(&descriptor);
    if (handles[i] == nullptr) {
      // PropertySheetW never saw them, so they are still ours to destroy.
      for (std::size_t j = 0; j < i; ++j) ::DestroyPropertySheetPage(handles[j]);
      return -1;
    }
  }

  const std::wstring caption = win32::LoadResourceString(IDS_PROGRAM_NAME);
  PROPSHEETHEADERW header = {};
  // The first layout is the one every supported comctl32 accepts.
  header.dwSize = PROPSHEETHEADERW_V1_SIZE;
  header.dwFlags = PSH_NOAPPLYNOW | PSH_HASHELP | PSH_USECALLBACK;
  header.hwndParent = m_context.mainWindow;
  header.hInstance = ::GetModuleHandleW(nullptr);
  header.pszCaption = caption.c_str();
  header.nPages = kSheetPageCount;
  header.nStartPage = static_cast<UINT>(m_nStartPage);
  header.phpage = handles.data();
  header.pfnCallback = &SheetCallback;
  t_creatingSheet = &m_windowData;
  const INT_PTR result = ::PropertySheetW(&header);
  t_creatingSheet = nullptr;
  return result;
}

void RunSettingsSheet(const SheetContext& context, int startPage) {
  // Called from the main window's procedure, which no exception may leave.
  try {
    CMainPropSheet sheet(context, startPage);
    sheet.DoModal();
  } catch (...) {
  }
}
