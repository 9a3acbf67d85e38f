// Entry point: start-up, the resident message loop when start-up asks for it, exit.
#include <windows.h>

#include "app/win32/TollevaneApp.h"
#include "common/win32/SystemLibrary.h"

CTollevaneApp& TheApp() {
  static CTollevaneApp app;
  return app;
}

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  win32::RestrictDllSearchToSystemFolder();
  // Once, before any thread reads a drive: an empty slot's "insert a disk" box would hold
  // the removal, or the tray, until someone answers it. What the starter set stays.
  ::SetErrorMode(::SetErrorMode(SEM_FAILCRITICALERRORS) | SEM_FAILCRITICALERRORS);
  CTollevaneApp& app = TheApp();
  if (app.InitInstance()) app.Run();
  const int status = app.ExitInstance();
  // A removal worker the user abandoned may still be inside its eject request.
  // ExitProcess ends it before any library is told to detach; returning would first
  // run the runtime's exit handlers and static destructors under the running worker.
  ::ExitProcess(static_cast<UINT>(status));
}
