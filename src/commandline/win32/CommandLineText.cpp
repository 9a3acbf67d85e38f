#include "commandline/win32/CommandLineText.h"

#include <windows.h>

#include <string_view>

#include "common/TextFormat.h"
#include "common/win32/ResourceStrings.h"
#include "common/win32/SystemErrorText.h"
#include "resources/resource.h"

void WriteCommandLineText(win32::StandardStream stream, const std::wstring& text) {
  const win32::StandardOutput output(stream);
  // In the code page the listing uses, so that a script reads both alike.
  output.WriteForReader(text + L"\n", output.ReadersCodePage());
}

void TellCommandLineReason(const PromptLine& line) {
  std::wstring text = JoinPromptLines({line}, &win32::LoadResourceString);
  if (line.textId == IDS_CL_CARD_REFUSED && line.count)
    text += win32::SystemErrorText(static_cast<DWORD>(*line.count));
  WriteCommandLineText(win32::StandardStream::Error, text);
}
