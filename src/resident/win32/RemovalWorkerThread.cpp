#include "resident/win32/RemovalWorkerThread.h"

#include <process.h>

#include "common/win32/Handles.h"
#include "common/win32/MessageBoxPrompter.h"
#include "common/win32/ResourceLanguage.h"
#include "common/win32/SentMessageWait.h"
#include "devices/EveryKindRemoval.h"
#include "devices/win32/ExplorerClosingWin32.h"
#include "devices/win32/HolderProcessWin32.h"
#include "devices/win32/KernelPnpEventLog.h"
#include "devices/win32/VetoHolderLookup.h"
#include "drives/win32/KernelDrives.h"
#include "pnp/win32/DeviceTreeFactory.h"
#include "resident/RemovalJob.h"
#include "resident/RemovalWorker.h"
#include "resident/win32/TrayIcon.h"
#include "ui/win32/DialogWait.h"

struct RemovalWorkerShare {
  RemovalWorkerShare(HWND window, const MainWndState& state, const ResidentContext& context,
                     std::optional<VetoHolder> closeFirst)
      : mainWindow(window),
        job(state, context.settings, std::move(closeFirst)),
        names(context.names),
        settingsFile(context.settingsFile),
        removalDone(::CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

  const HWND mainWindow;
  RemovalJob job;
  const SystemNames names;
  SettingsFile& settingsFile;
  // Manual-reset; set once the removal is done and only its report is left (see
  // RemovalServices::removalDone), or once an abandoned worker has stopped.
  const win32::UniqueHandle removalDone;
};

namespace {

unsigned RemoveRegisteredDeviceOnWorker(RemovalWorkerShare& run) {
  // The settings file is reached only to report, which an abandoned worker never does.
  MessageBoxPrompter prompter(run.mainWindow);
  const SettingsRecord& settings = run.job.settings;
  std::uint64_t passStart = 0;
  RemovalServices services{
      [&settings, &run, &passStart](const std::wstring& name, tag_device_hotkey_info& record) {
        passStart = SystemTimeNow();
        const std::unique_ptr<DeviceTree> tree = CreateDeviceTree();
        ExplorerClosingPreparation preparation(settings);
        KernelDrives storage;
        EveryKindRemoval kinds(*tree, storage, settings, run.names, preparation);
        kinds.StopWhen(run.job, [](std::uint32_t ms) { ::Sleep(ms); });
        RemovalOutcome outcome;
        outcome.found = kinds.RemoveByName(name, &record, RemovalStartedBy::Hotkey);
        outcome.vetoes = kinds.Vetoes();
        return outcome;
      },
      [&run](const std::wstring& name, int count) {
        ShowRemovalBalloon(run.mainWindow, name, count);
      },
      run.settingsFile,
      prompter,
      [&run] {
        if (run.removalDone) ::SetEvent(run.removalDone.get());
      },
      [&passStart, &run](const VetoedRequest& vetoed) {
        return LookUpVetoHolder(vetoed, passStart, &run.job);
      },
      [](const VetoHolder& holder) { return MayOfferToClose(holder, ViewHolderProcess(holder)); },
      &CloseHolderProcess};
  return RemoveRegisteredDevice(run.job, services);
}

unsigned __stdcall RemoveThreadProc(void* param) {
  // The worker owns its reference: it may outlive the main window's wait.
  const std::unique_ptr<std::shared_ptr<RemovalWorkerShare>> run(
      static_cast<std::shared_ptr<RemovalWorkerShare>*>(param));
  // Its message boxes carry Windows' own buttons as well as our texts.
  win32::ApplyResourceLanguageToThread();
  try {
    return RemoveRegisteredDeviceOnWorker(**run);
  } catch (...) {
    if ((*run)->removalDone) ::SetEvent((*run)->removalDone.get());
    return 0;
  }
}

win32::UniqueHandle StartWorker(const std::shared_ptr<RemovalWorkerShare>& run) {
  auto* reference = new std::shared_ptr<RemovalWorkerShare>(run);
  // Created suspended so that the handle is owned here before the thread can end.
  win32::UniqueHandle worker(reinterpret_cast<HANDLE>(
      ::_beginthreadex(nullptr, 0, &RemoveThreadProc, reference, CREATE_SUSPENDED, nullptr)));
  if (!worker) {
    delete reference;
    return worker;
  }
  ::ResumeThread(worker.get());
  return worker;
}

}  // namespace

namespace {

// One removal: its worker, the wait for it, the count taken back. True when the user
// asked, from a veto message, for the removal to be tried again; `closeFirst` then names
// the program to ask to close before it, when the user asked for that too.
bool RunOneRemoval(HWND mainWindow, MainWndState& state, const ResidentContext& context,
                   std::shared_ptr<RemovalWorkerShare>& current,
                   std::weak_ptr<RemovalWorkerShare>& stopped,
                   std::optional<VetoHolder>& closeFirst) {
  const auto run = std::make_shared<RemovalWorkerShare>(mainWindow, state, context, closeFirst);
  const win32::UniqueHandle worker = StartWorker(run);
  if (!worker) return false;  // nothing can be removed; the caller ends as after a removal
  current = run;

  // The wait dialog is for a slow removal: a veto message, a failure box or a balloon
  // that the worker shows afterwards is no part of it, and the dialog closes before them.
  HANDLE removalDone = run->removalDone ? run->removalDone.get() : worker.get();
  if (win32::WaitTakingSentMessages(removalDone, kSilentWaitMs) == WAIT_TIMEOUT) {
    ::ShowWindow(mainWindow, SW_SHOW);
    ::SetForegroundWindow(mainWindow);
    CDialogWait wait(
        mainWindow, removalDone, [&run] { return run->job.Abandon(); }, state.m_strRemoveDevice);
    wait.DoModal();
    ::ShowWindow(mainWindow, SW_HIDE);
  }
  // Also when the dialog failed to appear: the removal ends with its worker.
  if (!run->job.Abandoned()) win32::WaitTakingSentMessages(worker.get(), INFINITE);
  current.reset();
  if (run->job.Abandoned()) stopped = run;
  TakeRemovalCount(state, run->job);
  closeFirst = run->job.CloseBeforeRetry();
  return !run->job.Abandoned() && run->job.RetryAsked();
}

}  // namespace

void RunRemovalWorker(HWND mainWindow, MainWndState& state, const ResidentContext& context,
                      std::shared_ptr<RemovalWorkerShare>& current,
                      std::weak_ptr<RemovalWorkerShare>& stopped) {
  // Each try is a removal of the registration in its own right: the count taken back
  // from the last one is where the next one starts.
  std::optional<VetoHolder> closeFirst;
  while (RunOneRemoval(mainWindow, state, context, current, stopped, closeFirst)) {
  }
}

std::optional<std::wstring> StoppedRemovalDevice(const std::weak_ptr<RemovalWorkerShare>& stopped) {
  // The worker holds its run until its thread ends.
  const std::shared_ptr<RemovalWorkerShare> run = stopped.lock();
  if (!run) return std::nullopt;
  return run->job.name;
}

void WaitForRemovalCount(const std::shared_ptr<RemovalWorkerShare>& current, DWORD timeoutMs) {
  if (!current || !current->removalDone) return;
  win32::WaitTakingSentMessages(current->removalDone.get(), timeoutMs);
}
