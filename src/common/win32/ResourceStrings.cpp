#include "common/win32/ResourceStrings.h"

#include <windows.h>

#include "common/win32/ResourceLanguage.h"

namespace win32 {

namespace {

// Strings sit in blocks of sixteen, block n + 1 holding ids 16n to 16n + 15, each a
// length in UTF-16 units followed by that many units; an absent id has length 0.
std::wstring StringFromBlock(unsigned id, WORD language) {
  HMODULE module = ::GetModuleHandleW(nullptr);
  HRSRC found = ::FindResourceExW(module, RT_STRING, MAKEINTRESOURCEW(id / 16 + 1), language);
  if (found == nullptr) return {};
  HGLOBAL loaded = ::LoadResource(module, found);
  const auto* units = static_cast<const WCHAR*>(loaded ? ::LockResource(loaded) : nullptr);
  if (units == nullptr) return {};
  const std::size_t end = ::SizeofResource(module, found) / sizeof(WCHAR);
  std::size_t at = 0;
  for (unsigned slot = 0; slot < id % 16; ++slot) {
    if (at >= end) return {};
    at += 1 + units[at];
  }
  if (at >= end || at + 1 + units[at] > end) return {};
  return std::wstring(units + at + 1, units[at]);
}

}  // namespace

std::wstring LoadResourceString(unsigned id) {
  std::wstring text = StringFromBlock(id, ResourceLanguageId(CurrentResourceLanguage()));
  if (text.empty()) text = StringFromBlock(id, ResourceLanguageId(UiLanguage::Japanese));
  return text;
}

}  // namespace win32
