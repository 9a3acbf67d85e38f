// The command line of a removal as a person or a backup script writes it: what names
// the device (a name or pattern, a drive, a volume label, a mount folder) and how to
// go about it ("/whatif", "/wait:SECONDS"), in any order; or a call for the usage.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "commandline/RemovalReason.h"
#include "common/Prompter.h"

// Long enough for a day's backup window; a longer wait is taken for a typing error.
inline constexpr unsigned kMaxWaitSeconds = 86400;

struct RemovalRequest {
  RemovalTarget target = RemovalTarget::Name;
  std::wstring value;  // as typed; a drive as ParseDriveArgument gives it ("E:")
  // The name began with "/" or "-" and is no switch: it is a name only when a device of
  // exactly that name is present, else an unknown switch.
  bool unknownSwitch = false;
  bool whatIf = false;
  // "/card": the card in each drive comes out, and its reader stays.
  bool card = false;
  std::optional<unsigned> waitSeconds;
  bool operator==(const RemovalRequest&) const = default;
};

struct ParsedCommandLine {
  bool usage = false;
  RemovalRequest request;
  std::optional<PromptLine> problem;  // what is wrong with the command line; nothing ejects
  bool operator==(const ParsedCommandLine&) const = default;
};

// `arguments` excludes the program name.
ParsedCommandLine ParseRemovalCommandLine(const std::vector<std::wstring>& arguments);

// "/?", "-?", "/help", "-h" (any case).
bool IsUsageSwitch(std::wstring_view argument);

// Whether the command line needs more than the plain name or drive of old: a switch, a
// second argument, a label, a folder.
bool NeedsRemovalParser(const std::vector<std::wstring>& arguments);

// Exit statuses, one table for every form (the usage shows the same):
//   0  removed (with "/whatif": something would be), or the usage was asked for
//   1  nothing matched, or the command line was wrong; nothing was ejected
//   2  every request failed or was vetoed; for a label, not every device went
//   3  "/list" left out names its output could not carry
int ExitStatusForEveryTarget(unsigned requests, unsigned successes);
