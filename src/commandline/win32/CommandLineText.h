// Lines for whoever started the command line: the usage and what "/whatif" finds on the
// standard output, reasons on the standard error (or the console it was started from).
#pragma once

#include <string>

#include "common/Prompter.h"
#include "common/win32/StandardOutput.h"

// `text` and a line break, as the stream's reader takes it: a console as UTF-16, a file
// or pipe in the reader's code page, else in UTF-8 rather than altered.
void WriteCommandLineText(win32::StandardStream stream, const std::wstring& text);

// The string-table line `line`, filled, on the standard error.
void TellCommandLineReason(const PromptLine& line);
