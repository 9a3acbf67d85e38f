// Texts from the program's string table.
#pragma once

#include <string>

namespace win32 {
std::wstring LoadResourceString(unsigned id);
}  // namespace win32
