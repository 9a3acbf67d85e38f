// Base of the program's own window classes: binds the C++ object to its window on
// WM_NCCREATE, routes messages to HandleMessage, unbinds on WM_NCDESTROY.
#pragma once

#include <windows.h>

namespace win32 {

class Window {
 public:
  Window() = default;
  virtual ~Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  HWND hwnd() const { return hwnd_; }

 protected:
  // Registers a class whose window procedure is the shared thunk.
  static ATOM RegisterClassFor(const WNDCLASSEXW& base);
  // CreateWindowExW with this object as the creation parameter.
  HWND Create(DWORD exStyle, const wchar_t* className, const wchar_t* title, DWORD style, int x,
              int y, int width, int height, HWND parent);

  // Each handler returns the message's result; no exception may leave it.
  virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) = 0;
  // Called after the last message of the window, when the object may go.
  virtual void OnFinalMessage() {}

  LRESULT DefaultProcessing(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcW(hwnd_, message, wParam, lParam);
  }

 private:
  static LRESULT CALLBACK Thunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  HWND hwnd_ = nullptr;
};

}  // namespace win32
