#include "commandline/win32/CommandLineText.h"

#include "common/TextFormat.h"
#include "common/win32/ResourceStrings.h"

void WriteCommandLineText(win32::StandardStream stream, const std::wstring& text) {
  const win32::StandardOutput output(stream);
  // In the code page the listing uses, so that a script reads both alike.
  output.WriteForReader(text + L"\n", output.ReadersCodePage());
}

void TellCommandLineReason(const PromptLine& line) {
  WriteCommandLineText(win32::StandardStream::Error,
                       JoinPromptLines({line}, &win32::LoadResourceString));
}
