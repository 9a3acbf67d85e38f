// The program's two languages and the one rule that picks between them: the settings
// file's LANGUAGE when it names one, else Windows' UI language.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

enum class UiLanguage { Japanese, English };

// The key in section "APP" that overrides Windows' choice.
inline constexpr std::wstring_view kLanguageKey = L"LANGUAGE";

// The language a LANGUAGE value names ("ja", "en", any letter case); nothing for an
// absent or unknown value, which means "follow Windows".
std::optional<UiLanguage> LanguageFromSetting(std::wstring_view value);

// What LANGUAGE holds for a language.
std::wstring_view LanguageSettingValue(UiLanguage language);

// Japanese where Windows' UI language is Japanese, whatever its sublanguage; English
// everywhere else. A value naming a language wins.
UiLanguage ChooseUiLanguage(std::uint16_t userUiLangId, std::wstring_view setting);

// The LANGID of the language's resources (SUBLANG_DEFAULT / SUBLANG_ENGLISH_US).
std::uint16_t ResourceLanguageId(UiLanguage language);

// Each language as it names itself, for the options page's choice.
std::wstring_view LanguageOwnName(UiLanguage language);
