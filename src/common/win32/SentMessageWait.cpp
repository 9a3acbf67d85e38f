#include "common/win32/SentMessageWait.h"

#include "common/WaitDeadline.h"

namespace win32 {

DWORD WaitTakingSentMessages(HANDLE object, DWORD timeoutMs) {
  const DWORD start = ::GetTickCount();
  for (;;) {
    const DWORD remaining = RemainingWaitMs(start, ::GetTickCount(), timeoutMs);
    const DWORD result = ::MsgWaitForMultipleObjects(1, &object, FALSE, remaining, QS_SENDMESSAGE);
    if (result != WAIT_OBJECT_0 + 1) return result;
    // Peeking delivers the pending sent messages; with this filter it takes
    // nothing from the posted queue.
    MSG message;
    ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

}  // namespace win32
