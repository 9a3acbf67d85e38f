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
  CTollevaneApp& app = TheApp();
  if (app.InitInstance()) app.Run();
  return app.ExitInstance();
}
