#include "resident/win32/RemovalWorkerThread.h"

#include <process.h>

#include "app/win32/TollevaneApp.h"
#include "common/win32/Handles.h"
#include "common/win32/MessageBoxPrompter.h"
#include "devices/DeviceRemoval.h"
#include "devices/win32/DeviceTreeFactory.h"
#include "resident/RemovalWorker.h"
#include "resident/win32/ExplorerPreparation.h"
#include "resident/win32/TrayIcon.h"
#include "ui/win32/DialogWait.h"

namespace {

struct WorkerArguments {
  HWND mainWindow;
  MainWndState& state;
};

unsigned RemoveRegisteredDeviceOnWorker(const WorkerArguments& arguments) {
  CTollevaneApp& app = TheApp();
  const SettingsRecord& settings = app.m_settings;
  MessageBoxPrompter prompter(arguments.mainWindow);
  RemovalServices services{
      [&settings](const std::wstring& name, tag_device_hotkey_info& record) {
        const std::unique_ptr<DeviceTree> tree = CreateDeviceTree();
        ExplorerClosingPreparation preparation(settings);
        DeviceRemoval removal(*tree, settings.m_nDeviceKind, preparation);
        return removal.FindAndEject(name, &record, RemovalRoad::Hotkey);
      },
      [&arguments](const std::wstring& name, int count) {
        ShowRemovalBalloon(arguments.mainWindow, name, count);
      },
      app.Settings(), prompter};
  return RemoveRegisteredDevice(arguments.state, settings, services);
}

unsigned __stdcall RemoveThreadProc(void* param) {
  try {
    return RemoveRegisteredDeviceOnWorker(*static_cast<WorkerArguments*>(param));
  } catch (...) {
    return 0;
  }
}

}  // namespace

void RunRemovalWorker(HWND mainWindow, MainWndState& state) {
  WorkerArguments arguments{mainWindow, state};
  // Created suspended so that the handle is owned here before the thread can end.
  win32::UniqueHandle worker(reinterpret_cast<HANDLE>(
      ::_beginthreadex(nullptr, 0, &RemoveThreadProc, &arguments, CREATE_SUSPENDED, nullptr)));
  if (!worker) return;  // nothing can be removed; the caller ends as after a removal
  ::ResumeThread(worker.get());

  if (::WaitForSingleObject(worker.get(), kSilentWaitMs) == WAIT_TIMEOUT) {
    ::ShowWindow(mainWindow, SW_SHOW);
    ::SetForegroundWindow(mainWindow);
    CDialogWait wait(mainWindow, worker.get(), state.m_strRemoveDevice);
    wait.DoModal();
    ::ShowWindow(mainWindow, SW_HIDE);
  }
  // The worker uses `arguments` until it ends; should the dialog have failed to
  // appear, waiting here keeps them alive.
  ::WaitForSingleObject(worker.get(), INFINITE);
}
