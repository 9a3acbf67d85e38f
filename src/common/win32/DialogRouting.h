// The part of a dialog procedure that every dialog-based class shares: find the
// object bound to the window, call it without letting an exception escape, and
// unbind on WM_NCDESTROY.
#pragma once

#include <windows.h>

namespace win32 {

// `bind` gives the object on WM_INITDIALOG (from its lParam); `route` handles a
// message for it; `unbound` clears the object's own handle.
template <typename T, typename Bind, typename Route, typename Unbound>
INT_PTR RouteDialogMessage(HWND hwnd, UINT message, LPARAM lParam, Bind bind, Route route,
                           Unbound unbound) {
  T* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = bind(lParam);
    ::SetWindowLongPtrW(hwnd, DWLP_USER, reinterpret_cast<LONG_PTR>(self));
  } else {
    self = reinterpret_cast<T*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
  }
  if (self == nullptr) return FALSE;

  INT_PTR result = FALSE;
  try {
    result = route(*self);
  } catch (...) {
    result = FALSE;
  }
  if (message == WM_NCDESTROY) {
    ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    unbound(*self);
  }
  return result;
}

}  // namespace win32
