// A lock for the threads of one process. Not std::mutex: MinGW's builds it on calls
// that Windows 2000 and XP lack.
#pragma once

#include <windows.h>

namespace win32 {

class CriticalSection {
 public:
  CriticalSection() { ::InitializeCriticalSection(&section_); }
  ~CriticalSection() { ::DeleteCriticalSection(&section_); }
  CriticalSection(const CriticalSection&) = delete;
  CriticalSection& operator=(const CriticalSection&) = delete;

  class Hold {
   public:
    explicit Hold(CriticalSection& lock) : lock_(lock) { ::EnterCriticalSection(&lock_.section_); }
    ~Hold() { ::LeaveCriticalSection(&lock_.section_); }
    Hold(const Hold&) = delete;
    Hold& operator=(const Hold&) = delete;

   private:
    CriticalSection& lock_;
  };

 private:
  CRITICAL_SECTION section_;
};

}  // namespace win32
