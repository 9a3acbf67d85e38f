// A settings file read and written whole: the text it holds, and a new text put in its
// place in one step, so that nothing that stops the program half way leaves half a file.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace win32 {

// The file's text: UTF-16 after its byte-order mark, UTF-8 after its mark, else the
// ANSI code page that the profile functions read such a file in. A file not there yet
// is empty; nothing (and `error` set) when it cannot be read.
std::optional<std::wstring> ReadProfileText(const std::wstring& path, DWORD& error);

// Writes `text` beside `path` as UTF-16 with a byte-order mark, flushes it and renames it
// over `path`, keeping the old file's hidden and system marks. 0, or the error; the old
// file is then as it was. A read-only file is not replaced.
DWORD ReplaceProfileText(const std::wstring& path, const std::wstring& text);

}  // namespace win32
