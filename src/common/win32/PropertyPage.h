// Base of the settings sheet's pages: binds the C++ object through
// PROPSHEETPAGE.lParam on WM_INITDIALOG and turns the sheet's notifications into
// virtual calls.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <vector>

namespace win32 {

class PropertyPage {
 public:
  explicit PropertyPage(unsigned templateId) : templateId_(templateId) {}
  virtual ~PropertyPage() = default;
  PropertyPage(const PropertyPage&) = delete;
  PropertyPage& operator=(const PropertyPage&) = delete;

  // The page's description for PROPSHEETHEADER; every page carries the help flag.
  PROPSHEETPAGEW Descriptor();
  HWND hwnd() const { return hwnd_; }
  // Whether the sheet created the page's window during this opening.
  bool WasCreated() const { return created_; }

 protected:
  // Returns what WM_INITDIALOG returns: TRUE lets the system set the focus.
  virtual BOOL OnInitDialog() { return TRUE; }
  // The sheet's OK (PSN_APPLY); only pages whose window was created receive it.
  virtual void OnApply() {}
  // Everything else; returns TRUE when handled.
  virtual INT_PTR HandleMessage(UINT, WPARAM, LPARAM) { return FALSE; }

 private:
  static INT_PTR CALLBACK Thunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);

  unsigned templateId_;
  std::vector<std::byte> layout_;
  HWND hwnd_ = nullptr;
  bool created_ = false;
};

}  // namespace win32
