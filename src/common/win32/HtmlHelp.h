// HtmlHelpW, reached through the system folder's hhctrl.ocx at run time so that a
// system without the help component still starts the program; help is then simply
// not shown. The component is loaded by its full path: a file of that name beside
// the program must never run.
#pragma once

#include <windows.h>

namespace win32 {

HWND CallHtmlHelp(HWND caller, const wchar_t* file, UINT command, DWORD_PTR data);

// HH_INITIALIZE for the life of the object, and HH_UNINITIALIZE with the cookie it
// gave; in between, messages of the help viewer go through PreTranslate.
class HtmlHelpSession {
 public:
  HtmlHelpSession();
  ~HtmlHelpSession();
  HtmlHelpSession(const HtmlHelpSession&) = delete;
  HtmlHelpSession& operator=(const HtmlHelpSession&) = delete;

  // HH_PRETRANSLATEMESSAGE: true when the help viewer took the message.
  bool PreTranslate(MSG& message) const;

 private:
  DWORD_PTR cookie_ = 0;
  bool initialized_ = false;
};

}  // namespace win32
