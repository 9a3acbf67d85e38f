// The one line that tells a person at a prompt, or a script's log, why a command-line
// removal did not (all) go. A veto is not among them: it is told with its holder.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "commandline/EjectRecordingTree.h"
#include "common/Prompter.h"
#include "devices/EveryKindRemoval.h"

// What the command line named the device by.
enum class RemovalTarget { Name, Drive, Label, Folder };

// `argument` as the user typed it. `placeFound`: the drive exists, a volume carries the
// label, a volume is mounted in the folder (not looked at for a name). `answers`: every
// eject request made; `cards`: each card that did not come out for a reason other than
// open files; `requests`: every request, cards' too. Nothing when every request went or
// each failure was a veto (a card whose volume was in use is one).
std::optional<PromptLine> RemovalFailureReason(RemovalTarget target, std::wstring_view argument,
                                               bool placeFound,
                                               const std::vector<EjectAnswer>& answers,
                                               const std::vector<CardRefusal>& cards,
                                               unsigned requests);
