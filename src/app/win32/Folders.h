// Where the settings file lives, and creating that folder.
#pragma once

#include <optional>
#include <string>

// "<application data>\<name>\", or nothing when the application-data folder
// cannot be had.
std::optional<std::wstring> SettingsFolderPath(const wchar_t* name);

// Creates every missing folder along `path` (which ends with a backslash). Wide
// calls throughout: an ANSI round trip would lose characters outside the code page.
void CreateFolderPath(const std::wstring& path);
