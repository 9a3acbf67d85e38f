#include "resident/win32/RemovalWindowCloserWin32.h"

#include "resident/RemovalWindowCloser.h"

namespace {

class SystemWindows final : public TopLevelWindowPort {
 public:
  std::wstring Title(std::uintptr_t window) override {
    wchar_t buffer[kWindowTitleMaxChars + 1] = {};
    const int length = ::GetWindowTextW(Handle(window), buffer, kWindowTitleMaxChars + 1);
    return std::wstring(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
  }
  // A window that vanished meanwhile makes these fail quietly.
  void SetTitle(std::uintptr_t window, const std::wstring& title) override {
    ::SetWindowTextW(Handle(window), title.c_str());
  }
  void Sleep(unsigned milliseconds) override { ::Sleep(milliseconds); }
  void PostCancel(std::uintptr_t window) override {
    ::PostMessageW(Handle(window), WM_COMMAND, IDCANCEL, 0);
  }

 private:
  static HWND Handle(std::uintptr_t window) { return reinterpret_cast<HWND>(window); }
};

}  // namespace

BOOL CALLBACK CloseRemovalWindowProc(HWND window, LPARAM) {
  SystemWindows windows;
  return CloseRemovalWindowStep(reinterpret_cast<std::uintptr_t>(window), windows) ? TRUE : FALSE;
}

void CheckRemovalWindows() { ::EnumWindows(&CloseRemovalWindowProc, 0); }
