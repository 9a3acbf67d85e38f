#include "common/win32/Dialog.h"

#include "common/win32/DialogRouting.h"
#include "common/win32/ResourceLanguage.h"

namespace win32 {

INT_PTR Dialog::DoModal() {
  const std::vector<std::byte> layout = DialogTemplate(templateId_);
  if (layout.empty()) return -1;
  return ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr),
                                   reinterpret_cast<const DLGTEMPLATE*>(layout.data()), parent_,
                                   &Dialog::Thunk, reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK Dialog::Thunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  return RouteDialogMessage<Dialog>(
      hwnd, message, lParam,
      [hwnd](LPARAM bound) {
        auto* self = reinterpret_cast<Dialog*>(bound);
        self->hwnd_ = hwnd;
        return self;
      },
      [&](Dialog& self) { return self.HandleMessage(message, wParam, lParam); },
      [](Dialog& self) { self.hwnd_ = nullptr; });
}

}  // namespace win32
