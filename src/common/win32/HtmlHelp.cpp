#include "common/win32/HtmlHelp.h"

namespace win32 {

namespace {

using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);

HtmlHelpFunction LoadHtmlHelp() {
  // Loaded once and kept for the life of the process, like the component itself.
  HMODULE module = ::LoadLibraryW(L"hhctrl.ocx");
  if (module == nullptr) return nullptr;
  return reinterpret_cast<HtmlHelpFunction>(
      reinterpret_cast<void*>(::GetProcAddress(module, "HtmlHelpW")));
}

}  // namespace

HWND CallHtmlHelp(HWND caller, const wchar_t* file, UINT command, DWORD_PTR data) {
  static const HtmlHelpFunction htmlHelp = LoadHtmlHelp();
  return htmlHelp != nullptr ? htmlHelp(caller, file, command, data) : nullptr;
}

}  // namespace win32
