// Text for whoever started the program from a command line. The program has no console
// of its own: a console it was started from is borrowed. An output that a script
// redirected to a file or a pipe gets bytes in the code page its reader expects: the
// console's, which cmd's "for /f" and PowerShell decode with, unless UTF-8 is asked for.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include <windows.h>

#include "common/win32/Handles.h"

namespace win32 {

enum class StandardStream { Output, Error };

// Where the standard output (or error) goes, for as long as the object lives.
class StandardOutput {
 public:
  explicit StandardOutput(StandardStream stream = StandardStream::Output);
  ~StandardOutput();
  StandardOutput(const StandardOutput&) = delete;
  StandardOutput& operator=(const StandardOutput&) = delete;

  // A console shows UTF-16 text as it is; anything else takes bytes.
  bool IsConsole() const { return console_ != nullptr; }
  // The code page a reader of redirected bytes decodes with: the console's output code
  // page, or the one a new console would get when there is no console at all.
  UINT ReadersCodePage() const;

  // False when the text reached nobody (started from Explorer, say) or a write failed.
  bool WriteText(std::wstring_view text) const;
  bool WriteBytes(std::string_view bytes) const;
  // Text as its reader takes it: UTF-16 on a console, else bytes in `codePage`, a
  // character the code page lacks replaced as the system replaces it. A stream never
  // gets two encodings.
  bool WriteForReader(std::wstring_view text, UINT codePage) const;

 private:
  HANDLE output_ = nullptr;     // the standard output, not owned
  HANDLE console_ = nullptr;    // where console text goes, not owned
  UniqueHandle consoleOutput_;  // CONOUT$, when the standard output names no console
  bool attachedHere_ = false;
  bool consoleReached_ = false;  // attached, here or before
};

// `text` in `codePage`, or nothing when the code page cannot carry it exactly.
std::optional<std::string> EncodeExactly(std::wstring_view text, UINT codePage);

}  // namespace win32
