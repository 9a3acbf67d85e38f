// The removals that a script asks for on the command line: by a device's display name
// or by the letter of a drive that a removable device holds. Each reports what it asked
// of the system, so that the exit status can tell "nothing there" from "refused".
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/Prompter.h"
#include "devices/DeviceRemoval.h"
#include "devices/VetoHolder.h"
#include "drives/Drives.h"
#include "pnp/DeviceTree.h"

class Prompter;
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

// Removes `name` over the USB class and the kinds of `settings`, and asks for
// IDS_REMOVAL_FAILED when nothing was removed and DISP_REJECT_ERR is set. With `storage`, the name
// of a card slot or of a hot-plug disk removes as the list offered it.
RemovalTally RemoveDeviceByName(std::wstring_view name, const SystemNames& names,
                                const SettingsRecord& settings, DeviceTree& tree,
                                StorageEjectPreparation& preparation, Prompter& prompter,
                                const CommandLineVetoes* vetoes = nullptr,
                                Drives* storage = nullptr);

// Ejects the removable devices that hold drive `letter` (nothing: the argument named no
// drive), each preceded by the storage preparation as any removal of a USB mass-storage
// device is; where none holds it and its medium comes out, the card only.
// IDS_REMOVAL_FAILED names `argument`, as the user typed it, when nothing was removed and
// DISP_REJECT_ERR is set.
RemovalTally RemoveDriveHolder(std::wstring_view argument, std::optional<wchar_t> letter,
                               const SystemNames& names, const SettingsRecord& settings,
                               DeviceTree& tree, Drives& storage,
                               StorageEjectPreparation& preparation, Prompter& prompter,
                               const CommandLineVetoes* vetoes = nullptr);

// "/card E:": the card in drive `letter`, never its reader. IDS_REMOVAL_FAILED as above.
RemovalTally RemoveCard(std::wstring_view argument, std::optional<wchar_t> letter,
                        const SystemNames& names, const SettingsRecord& settings, DeviceTree& tree,
                        Drives& storage, StorageEjectPreparation& preparation, Prompter& prompter,
                        const CommandLineVetoes* vetoes = nullptr);

// Scripts read it: 0 when an eject request succeeded, 1 when nothing matched, 2 when
// every request failed or was vetoed.
int ExitStatusForRemoval(const RemovalTally& tally);
