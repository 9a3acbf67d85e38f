// The running program's own path and the paths derived from it.
#pragma once

#include <string>

#include "common/UiLanguage.h"

namespace win32 {

// GetModuleFileNameW of the program, in a buffer of MAX_PATH characters.
std::wstring ModulePath();
// The path with its last component removed (PathRemoveFileSpecW).
std::wstring FolderOf(const std::wstring& path);
// The path with its extension replaced (PathRenameExtensionW); `extension` has the dot.
std::wstring WithExtension(const std::wstring& path, const wchar_t* extension);
// The help file of a language beside the program: Tollevane.chm in Japanese, as it has always
// been named, Tollevane.en.chm in English. Without the English file, the Japanese one.
std::wstring HelpFilePath(UiLanguage language);

}  // namespace win32
