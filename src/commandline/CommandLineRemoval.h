// The removal a script asks for on the command line, whatever names the device: a
// display name or pattern, a drive letter, a mount folder or a volume label, with or
// without "/card". Each reports what it asked of the system, so that the exit status
// can tell "nothing there" from "refused", and the one line that says why.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "commandline/CommandLineRequest.h"
#include "commandline/EjectRecordingTree.h"
#include "common/Prompter.h"
#include "devices/EveryKindRemoval.h"
#include "devices/VetoHolder.h"
#include "drives/Drives.h"

struct SettingsRecord;

// A script must never be held by a box: each veto is written where the command line
// has a console or standard error, and IDS_REMOVAL_FAILED stays the only box.
struct CommandLineVetoes {
  // Who holds the device of a vetoed request, when the system can tell; may be empty.
  VetoHolderFinder findHolder;
  std::function<void(const std::vector<PromptLine>&)> tell;
};

// Each of the vetoed requests, with its holder, through `vetoes` (none: nobody is told).
void TellVetoesTo(std::vector<VetoedRequest> vetoed, const CommandLineVetoes* vetoes);

// What one try of a removal request came to.
struct RequestResult {
  RemovalTally tally;
  int status = 1;
  // Why not (all) went; nothing when all went or each failure was a veto.
  std::optional<PromptLine> reason;
  bool operator==(const RequestResult&) const = default;
};

// Removes what `request` names through `removal`, which walks `tree` and `drives`; the
// request's "/whatif" and "/wait:" are the caller's, who chose the tree and the drives.
// The vetoes go to `vetoes` (none: nobody is told).
RequestResult RemoveRequested(const RemovalRequest& request, EveryKindRemoval& removal,
                              const EjectRecordingTree& tree, Drives& drives,
                              const CommandLineVetoes* vetoes = nullptr);

// IDS_REMOVAL_FAILED naming `argument`, as the user typed it, when nothing was removed
// and DISP_REJECT_ERR asks for it.
void ReportNothingRemoved(std::wstring_view argument, const SettingsRecord& settings,
                          const RemovalTally& tally, Prompter& prompter);

// Scripts read it: 0 when an eject request succeeded, 1 when nothing matched, 2 when
// every request failed or was vetoed.
int ExitStatusForRemoval(const RemovalTally& tally);
