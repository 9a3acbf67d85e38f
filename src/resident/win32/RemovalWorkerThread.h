// The hotkey road's removal on a worker thread, and the main window's wait for it.
#pragma once

#include <windows.h>

#include "resident/MainWndState.h"

inline constexpr DWORD kSilentWaitMs = 2500;

// Runs the removal of `state.m_strRemoveDevice` on a worker thread and returns once
// the worker has ended: silently for 2500 ms, then with the wait dialog.
void RunRemovalWorker(HWND mainWindow, MainWndState& state);
