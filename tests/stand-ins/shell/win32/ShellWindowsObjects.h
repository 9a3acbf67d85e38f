// The ShellWindows collection and its browser windows, served from the window
// list file (TOLLEVANE_SHELL_WINDOWS); every Quit is logged to TOLLEVANE_SHELL_LOG.
#pragma once

#include <windows.h>
#include <objbase.h>

namespace shellstandin {

// A new collection read from the files as they are now, with one reference.
HRESULT NewShellWindows(IUnknown** out);

}  // namespace shellstandin
