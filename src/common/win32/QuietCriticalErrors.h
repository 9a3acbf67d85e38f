// An empty card slot or CD drive must not make Windows ask for a disk in a box: the
// caller would wait for the user's answer. The mode is the calling thread's own where
// the system has SetThreadErrorMode (Windows 7 on), so that another thread keeps its
// own; before that, the process's is the only one.
#pragma once

#include <windows.h>

namespace win32 {

class QuietCriticalErrors {
 public:
  QuietCriticalErrors() {
    if (SetThreadMode() != nullptr) {
      threadMode_ = SetThreadMode()(SEM_FAILCRITICALERRORS, &previous_);
    } else {
      previous_ = ::SetErrorMode(SEM_FAILCRITICALERRORS);
    }
  }
  ~QuietCriticalErrors() {
    if (threadMode_) {
      SetThreadMode()(previous_, nullptr);
    } else {
      ::SetErrorMode(previous_);
    }
  }
  QuietCriticalErrors(const QuietCriticalErrors&) = delete;
  QuietCriticalErrors& operator=(const QuietCriticalErrors&) = delete;

 private:
  using SetThreadErrorModeFunction = BOOL(WINAPI*)(DWORD, LPDWORD);
  static SetThreadErrorModeFunction SetThreadMode() {
    static const auto function =
        reinterpret_cast<SetThreadErrorModeFunction>(reinterpret_cast<void*>(
            ::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "SetThreadErrorMode")));
    return function;
  }

  DWORD previous_ = 0;
  bool threadMode_ = false;
};

}  // namespace win32
