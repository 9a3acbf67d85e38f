// The removals that a script asks for on the command line: by a device's display name
// or by the letter of a drive that a removable device holds. Each reports what it asked
// of the system, so that the exit status can tell "nothing there" from "refused".
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "devices/DeviceRemoval.h"
#include "devices/DeviceTree.h"
#include "devices/DriveStorage.h"

class Prompter;
struct SettingsRecord;

// Removes `name` over the USB class and the kinds of `settings`, and asks for message
// 110 when nothing was removed and DISP_REJECT_ERR is set.
RemovalTally RemoveDeviceByName(std::wstring_view name, const SystemNames& names,
                                const SettingsRecord& settings, DeviceTree& tree,
                                StorageEjectPreparation& preparation, Prompter& prompter);

// Ejects the removable devices that hold drive `letter` (nothing: the argument named no
// drive), each preceded by the storage preparation as any removal of a USB mass-storage
// device is. Message 110 names `argument`, as the user typed it, when nothing was removed
// and DISP_REJECT_ERR is set.
RemovalTally RemoveDriveHolder(std::wstring_view argument, std::optional<wchar_t> letter,
                               const SystemNames& names, const SettingsRecord& settings,
                               DeviceTree& tree, DriveStorage& storage,
                               StorageEjectPreparation& preparation, Prompter& prompter);
