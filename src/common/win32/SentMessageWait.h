// Waits on a handle while taking the messages that other threads send to this
// thread, and nothing else. A thread that blocks in WaitForSingleObject also
// blocks every sender: a message box owned by one of its windows, shown from
// another thread, sends WM_ENABLE to it and would wait for the end of the wait.
// Input, posted messages and timers stay queued.
#pragma once

#include <windows.h>

namespace win32 {

// WAIT_OBJECT_0, WAIT_TIMEOUT or WAIT_FAILED, as WaitForSingleObject gives them.
DWORD WaitTakingSentMessages(HANDLE object, DWORD timeoutMs);

}  // namespace win32
