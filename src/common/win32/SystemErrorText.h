// The system's own words for an error code.
#pragma once

#include <windows.h>

#include <string>

namespace win32 {

// In the program's language where Windows has it in that language, else in Windows'
// own choice; one line, without its line break. "(code)" when Windows has no words.
std::wstring SystemErrorText(DWORD error);

}  // namespace win32
