// The hotkey road's removal on a worker thread, and the main window's wait for it.
#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "resident/MainWndState.h"
#include "resident/MomentReport.h"
#include "resident/win32/ResidentContext.h"

inline constexpr DWORD kSilentWaitMs = 2500;

// One running removal, shared by the main window and its worker.
struct RemovalWorkerShare;

// Runs the removal of `state.m_strRemoveDevice` on a worker thread and returns once
// the worker has ended or the user has abandoned it: silently for 2500 ms, then with
// the wait dialog. The worker takes what it reads of `context` before it starts.
// `current` names the run meanwhile; a run the user stopped is left in `stopped`.
void RunRemovalWorker(HWND mainWindow, MainWndState& state, const ResidentContext& context,
                      std::shared_ptr<RemovalWorkerShare>& current,
                      std::weak_ptr<RemovalWorkerShare>& stopped);

// The device of a removal the user stopped whose worker has not ended yet.
std::optional<std::wstring> StoppedRemovalDevice(const std::weak_ptr<RemovalWorkerShare>& stopped);

// Waits at most `timeoutMs`, taking sent messages, until nothing of the running
// removal's count is left to store. For the end of the session, after which the
// process may be ended at any moment.
void WaitForRemovalCount(const std::shared_ptr<RemovalWorkerShare>& current, DWORD timeoutMs);

// The silent removal of the registrations a moment (sleep, lock, display off) chose: one
// worker removes them in turn, each as its hotkey would, keeping what it would show.
struct MomentRemovalRun;

// Starts the worker and returns at once; it posts `endMessage` with `serial` once done.
// Nothing when no worker could start.
std::shared_ptr<MomentRemovalRun> StartMomentRemoval(HWND mainWindow, MainWndState& state,
                                                     const ResidentContext& context,
                                                     const std::vector<std::size_t>& indices,
                                                     UINT endMessage, WPARAM serial);
bool IsMomentRemoval(const std::shared_ptr<MomentRemovalRun>& run, WPARAM serial);
// Takes the counts of the parts done into the table and gives their report. When `gaveUp`
// the rest is abandoned; the part still inside its request is left in `stopped`.
std::vector<MomentJobReport> FinishMomentRemoval(MainWndState& state, MomentRemovalRun& run,
                                                 bool gaveUp,
                                                 std::weak_ptr<RemovalWorkerShare>& stopped);
