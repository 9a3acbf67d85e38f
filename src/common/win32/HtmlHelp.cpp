#include "common/win32/HtmlHelp.h"

#include <htmlhelp.h>

#include "common/win32/SystemLibrary.h"

namespace win32 {

namespace {

using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);

HtmlHelpFunction LoadHtmlHelp() {
  // Loaded once and kept for the life of the process, like the component itself.
  return SystemFunction<HtmlHelpFunction>(LoadSystemLibrary(L"hhctrl.ocx"), "HtmlHelpW");
}

}  // namespace

HWND CallHtmlHelp(HWND caller, const wchar_t* file, UINT command, DWORD_PTR data) {
  static const HtmlHelpFunction htmlHelp = LoadHtmlHelp();
  return htmlHelp != nullptr ? htmlHelp(caller, file, command, data) : nullptr;
}

HtmlHelpSession::HtmlHelpSession() {
  // The cookie stays 0 when the component is missing or refused.
  CallHtmlHelp(nullptr, nullptr, HH_INITIALIZE, reinterpret_cast<DWORD_PTR>(&cookie_));
  initialized_ = cookie_ != 0;
}

HtmlHelpSession::~HtmlHelpSession() {
  if (initialized_) CallHtmlHelp(nullptr, nullptr, HH_UNINITIALIZE, cookie_);
}

bool HtmlHelpSession::PreTranslate(MSG& message) const {
  return initialized_ && CallHtmlHelp(nullptr, nullptr, HH_PRETRANSLATEMESSAGE,
                                      reinterpret_cast<DWORD_PTR>(&message)) != nullptr;
}

}  // namespace win32
