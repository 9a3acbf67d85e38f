// A drive named on the command line: "E:", "E:\" or, as a quoted "E:\" arrives, E:", any case.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// The drive's DOS device name ("E:"), as QueryDosDeviceW takes it; nothing when the
// argument names no drive, so that it is taken as a device name.
std::optional<std::wstring> ParseDriveArgument(std::wstring_view argument);
