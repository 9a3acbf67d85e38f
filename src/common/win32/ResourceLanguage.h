// The language the program's own resources are loaded in. Every dialog, property page,
// menu and string goes through here, so that Windows 2000 and XP, whose threads cannot
// be given a UI language, show the same language as Vista and later.
#pragma once

#include <windows.h>

#include <cstddef>
#include <vector>

#include "common/UiLanguage.h"

namespace win32 {

// Chooses the language for every window opened from now on. On Vista and later it is also
// the calling thread's UI language, so that Windows' own buttons (OK, Cancel) follow it.
void UseResourceLanguage(UiLanguage language);
UiLanguage CurrentResourceLanguage();

// Gives a thread the program opened (one that shows message boxes) the chosen language.
void ApplyResourceLanguageToThread();

// Windows' UI language for the user (GetUserDefaultUILanguage), 0 before Windows 2000.
LANGID UserUiLanguage();

// A copy of the chosen language's template of a dialog or property page, or of the
// Japanese one when that language lacks it; empty when neither exists. A copy, because
// the property sheet may write into the template it is given.
std::vector<std::byte> DialogTemplate(unsigned id);

// The chosen language's menu (Japanese when that language lacks it); the caller destroys it.
HMENU LoadMenuResource(unsigned id);

}  // namespace win32
