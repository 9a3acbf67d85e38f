// Base of the program's modal dialogs: binds the C++ object on WM_INITDIALOG,
// routes messages to HandleMessage and unbinds on WM_NCDESTROY.
#pragma once

#include <windows.h>

namespace win32 {

class Dialog {
 public:
  Dialog(unsigned templateId, HWND parent) : templateId_(templateId), parent_(parent) {}
  virtual ~Dialog() = default;
  Dialog(const Dialog&) = delete;
  Dialog& operator=(const Dialog&) = delete;

  // Runs the dialog in the chosen language; returns the value given to EndDialog, -1 when
  // it could not be created.
  INT_PTR DoModal();
  HWND hwnd() const { return hwnd_; }

 protected:
  // Returns what a dialog procedure returns: TRUE when handled.
  virtual INT_PTR HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;

 private:
  static INT_PTR CALLBACK Thunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  unsigned templateId_;
  HWND parent_;
  HWND hwnd_ = nullptr;
};

}  // namespace win32
