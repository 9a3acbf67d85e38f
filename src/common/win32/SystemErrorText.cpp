#include "common/win32/SystemErrorText.h"

#include <string_view>

#include "common/UiLanguage.h"
#include "common/win32/ResourceLanguage.h"

namespace win32 {

std::wstring SystemErrorText(DWORD error) {
  constexpr DWORD kFlags =
      FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_MAX_WIDTH_MASK;
  wchar_t text[512] = {};
  DWORD length = ::FormatMessageW(
      kFlags, nullptr, error, ResourceLanguageId(CurrentResourceLanguage()), text, 512, nullptr);
  if (length == 0) length = ::FormatMessageW(kFlags, nullptr, error, 0, text, 512, nullptr);
  std::wstring_view words(text, length);
  while (!words.empty() && (words.back() == L' ' || words.back() == L'\r' || words.back() == L'\n'))
    words.remove_suffix(1);
  return words.empty() ? L"(" + std::to_wstring(error) + L")" : std::wstring(words);
}

}  // namespace win32
