// Whether another instance runs, from what CreateMutexW gave for the program's mutex.
#pragma once

// `created`: a handle came back; `lastError`: GetLastError right after the call.
// A mutex created by an elevated first instance cannot be opened by a normal
// start, which then gets no handle and ERROR_ACCESS_DENIED.
bool OtherInstanceHoldsMutex(bool created, unsigned long lastError);
