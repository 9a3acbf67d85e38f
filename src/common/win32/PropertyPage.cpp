#include "common/win32/PropertyPage.h"

#include "common/win32/DialogRouting.h"
#include "common/win32/ResourceLanguage.h"

namespace win32 {

PROPSHEETPAGEW PropertyPage::Descriptor() {
  PROPSHEETPAGEW page = {};
  // The first layout is the one every supported comctl32 accepts.
  page.dwSize = PROPSHEETPAGEW_V1_SIZE;
  page.dwFlags = PSP_DEFAULT | PSP_HASHELP | PSP_DLGINDIRECT;
  page.hInstance = ::GetModuleHandleW(nullptr);
  // Each opening takes the language chosen by then; the copy lives as long as the page.
  layout_ = DialogTemplate(templateId_);
  page.pResource = reinterpret_cast<const DLGTEMPLATE*>(layout_.data());
  page.pfnDlgProc = &PropertyPage::Thunk;
  page.lParam = reinterpret_cast<LPARAM>(this);
  return page;
}

INT_PTR CALLBACK PropertyPage::Thunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return RouteDialogMessage<PropertyPage>(
      hwnd, message, lParam,
      [hwnd](LPARAM pageDescriptor) {
        auto* self = reinterpret_cast<PropertyPage*>(
            reinterpret_cast<PROPSHEETPAGEW*>(pageDescriptor)->lParam);
        self->hwnd_ = hwnd;
        self->created_ = true;
        return self;
      },
      [&](PropertyPage& self) { return self.Dispatch(message, wParam, lParam); },
      [](PropertyPage& self) { self.hwnd_ = nullptr; });
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
