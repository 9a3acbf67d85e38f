#include "common/win32/ResourceStrings.h"

#include <windows.h>

namespace win32 {

std::wstring LoadResourceString(unsigned id) {
  // The table's longest text is well under this; LoadStringW cuts anything longer.
  wchar_t buffer[1024] = {};
  const int length = ::LoadStringW(::GetModuleHandleW(nullptr), id, buffer, 1024);
  return std::wstring(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
}

}  // namespace win32
