// What "/list" prints: the names that the removal by name accepts, so that a script
// can find the exact text to pass.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "drives/Drives.h"
#include "pnp/DeviceTree.h"
#include "pnp/SystemNames.h"

// The storage description of the running system first (it removes every USB
// mass-storage device), then each name the device list page offers for `deviceKind`,
// once, in listing order; with `storage`, the card slots and hot-plug disks too.
std::vector<std::wstring> CommandLineNames(DeviceTree& tree, const SystemNames& names,
                                           std::uint32_t deviceKind, Drives* storage = nullptr);

// A name as the listing shows it. A line break inside a name would split it into two
// names that match nothing, so it is shown as a blank.
std::wstring ListedName(std::wstring_view name);

// One name a line (ListedName), each ended by CR LF.
std::wstring FormatNameLines(const std::vector<std::wstring>& names);

// One line's bytes in the output's code page, or nothing when that code page cannot
// carry the line exactly.
using LineEncoder = std::function<std::optional<std::string>(std::wstring_view line)>;

struct EncodedNames {
  std::string bytes;
  bool complete = true;  // false: a name was left out
  bool operator==(const EncodedNames&) const = default;
};

// FormatNameLines for a file or a pipe. A name the code page cannot carry is left out
// rather than written altered: an altered name removes nothing, or another device.
EncodedNames EncodeNameLines(const std::vector<std::wstring>& names, const LineEncoder& encode);

// "/list": 0 when every name was written, 3 when some were left out for the code
// page, 1 when the output could not be written (a full disk, a closed pipe, nobody).
int ExitStatusForListing(bool complete, bool written);
