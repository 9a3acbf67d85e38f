// Libraries the program loads at run time come from the system folder only: a DLL of
// the same name beside Tollevane.exe (a Downloads folder, an unpacked archive) must never
// run inside the program.
#pragma once

#include <windows.h>

namespace win32 {

// Restricts the process's own DLL search to the system folder where the system offers
// that (Windows 7 with KB2533623 and later), and otherwise at least takes the current
// folder out of it. Call first, before anything loads a library.
void RestrictDllSearchToSystemFolder();

// Loads `fileName` (no path) from the system folder by its full path; nullptr when
// it is not there. The module stays loaded for the life of the process.
HMODULE LoadSystemLibrary(const wchar_t* fileName);

// GetProcAddress cast to the function type the caller names.
template <typename Function>
Function SystemFunction(HMODULE module, const char* name) {
  if (module == nullptr) return nullptr;
  return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

// A kernel32 function that older Windows lack, looked up rather than imported so that the
// program still starts there. Every process has kernel32 loaded.
template <typename Function>
Function Kernel32Function(const char* name) {
  return SystemFunction<Function>(::GetModuleHandleW(L"kernel32.dll"), name);
}

}  // namespace win32
