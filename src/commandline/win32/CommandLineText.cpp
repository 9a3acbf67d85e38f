#include "commandline/win32/CommandLineText.h"

#include <windows.h>

#include <string_view>

#include "common/TextFormat.h"
#include "common/win32/ResourceLanguage.h"
#include "common/win32/ResourceStrings.h"
#include "resources/resource.h"

namespace {

// The system's own words for an error, in the program's language where Windows has it
// in that language, else in Windows' own choice; one line, without its line break.
std::wstring SystemErrorText(DWORD error) {
  constexpr DWORD kFlags =
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_MAX_WIDTH_MASK;
  wchar_t text[512] = {};
  DWORD length =
      ::FormatMessageW(kFlags, nullptr, error, ResourceLanguageId(win32::CurrentResourceLanguage()),
                       text, 512, nullptr);
  if (length == 0) length = ::FormatMessageW(kFlags, nullptr, error, 0, text, 512, nullptr);
  std::wstring_view words(text, length);
  while (!words.empty() && (words.back() == L' ' || words.back() == L'\r' || words.back() == L'\n'))
    words.remove_suffix(1);
  return words.empty() ? L"(" + std::to_wstring(error) + L")" : std::wstring(words);
}

}  // namespace

void WriteCommandLineText(win32::StandardStream stream, const std::wstring& text) {
  const win32::StandardOutput output(stream);
  // In the code page the listing uses, so that a script reads both alike.
  output.WriteForReader(text + L"\n", output.ReadersCodePage());
}

void TellCommandLineReason(const PromptLine& line) {
  std::wstring text = JoinPromptLines({line}, &win32::LoadResourceString);
  if (line.textId == IDS_CL_CARD_REFUSED && line.count)
    text += SystemErrorText(static_cast<DWORD>(*line.count));
  WriteCommandLineText(win32::StandardStream::Error, text);
}
