#include "common/UiLanguage.h"

#include <algorithm>

namespace {

constexpr std::uint16_t kLangJapanese = 0x11;  // LANG_JAPANESE
constexpr std::uint16_t kPrimaryLanguageMask = 0x3FF;

bool SameLetters(std::wstring_view a, std::wstring_view b) {
  const auto fold = [](wchar_t c) {
    return (c >= L'A' && c <= L'Z') ? wchar_t(c - L'A' + L'a') : c;
  };
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(),
                    [&](wchar_t x, wchar_t y) { return fold(x) == fold(y); });
}

}  // namespace

std::optional<UiLanguage> LanguageFromSetting(std::wstring_view value) {
  for (const UiLanguage language : {UiLanguage::Japanese, UiLanguage::English})
    if (SameLetters(value, LanguageSettingValue(language))) return language;
  return std::nullopt;
}

std::wstring_view LanguageSettingValue(UiLanguage language) {
  return language == UiLanguage::Japanese ? L"ja" : L"en";
}

UiLanguage ChooseUiLanguage(std::uint16_t userUiLangId, std::wstring_view setting) {
  if (const auto chosen = LanguageFromSetting(setting)) return *chosen;
  return (userUiLangId & kPrimaryLanguageMask) == kLangJapanese ? UiLanguage::Japanese
                                                                : UiLanguage::English;
}

std::uint16_t ResourceLanguageId(UiLanguage language) {
  return language == UiLanguage::Japanese ? 0x0411 : 0x0409;
}

std::wstring_view LanguageOwnName(UiLanguage language) {
  return language == UiLanguage::Japanese ? L"日本語" : L"English";
}
