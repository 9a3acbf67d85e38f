#include "app/win32/CommandLineText.h"

#include "common/TextFormat.h"
#include "common/win32/ResourceStrings.h"

void WriteCommandLineText(win32::StandardStream stream, const std::wstring& text) {
  const std::wstring line = text + L"\n";
  const win32::StandardOutput output(stream);
  if (output.IsConsole()) {
    output.WriteText(line);
  } else if (const auto bytes = win32::EncodeExactly(line, output.ReadersCodePage())) {
    output.WriteBytes(*bytes);
  } else if (const auto utf8 = win32::EncodeExactly(line, CP_UTF8)) {
    output.WriteBytes(*utf8);
  }
}

void TellCommandLineReason(const PromptLine& line) {
  WriteCommandLineText(win32::StandardStream::Error,
                       JoinPromptLines({line}, &win32::LoadResourceString));
}
