// An empty card slot or CD drive must not make Windows ask for a disk in a box: the
// caller would wait for the user's answer. The process sets SEM_FAILCRITICALERRORS once
// at its start (WinMain); this keeps the calling thread quiet as well where the system
// gives threads a mode of their own (SetThreadErrorMode, Windows 7 on). Before that the
// process's mode is the only one, and it is left alone: saving and restoring it from
// two threads at once could leave the boxes on.
#pragma once

#include <windows.h>

namespace win32 {

class QuietCriticalErrors {
 public:
  QuietCriticalErrors() {
    if (SetThreadMode() != nullptr)
      threadMode_ = SetThreadMode()(SEM_FAILCRITICALERRORS, &previous_) != FALSE;
  }
  ~QuietCriticalErrors() {
    if (threadMode_) SetThreadMode()(previous_, nullptr);
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
