// Text for whoever started the program from a command line. The program has no console
// of its own: a console it was started from is borrowed, and an output that a script
// redirected to a file or a pipe gets UTF-8, which every reader of such a file can take.
#pragma once

#include <string_view>

namespace win32 {

// False when the text reached nobody (started from Explorer, say) or a write failed.
bool WriteToStandardOutput(std::wstring_view text);

}  // namespace win32
