#include "common/win32/PropertyPage.h"

namespace win32 {

PROPSHEETPAGEW PropertyPage::Descriptor() {
  PROPSHEETPAGEW page = {};
  // The first layout is the one every supported comctl32 accepts.
  page.dwSize = PROPSHEETPAGEW_V1_SIZE;
  page.dwFlags = PSP_DEFAULT | PSP_HASHELP;
  page.hInstance = ::GetModuleHandleW(nullptr);
  page.pszTemplate = MAKEINTRESOURCEW(templateId_);
  page.pfnDlgProc = &PropertyPage::Thunk;
  page.lParam = reinterpret_cast<LPARAM>(this);
  return page;
}

INT_PTR CALLBACK PropertyPage::Thunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  PropertyPage* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<PropertyPage*>(reinterpret_cast<PROPSHEETPAGEW*>(lParam)->lParam);
    self->hwnd_ = hwnd;
    self->created_ = true;
    ::SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<PropertyPage*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
  }
  if (self == nullptr) return FALSE;

  INT_PTR result = FALSE;
  try {
    result = self->Dispatch(message, wParam, lParam);
  } catch (...) {
    result = FALSE;
  }
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    self->hwnd_ = nullptr;
  }
  return result;
}

INT_PTR PropertyPage::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) return OnInitDialog();
  if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == PSN_APPLY) {
    OnApply();
    ::SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, PSNRET_NOERROR);
    return TRUE;
  }
  return HandleMessage(message, wParam, lParam);
}

}  // namespace win32
