// "/label:": the devices that hold the volumes carrying a label, each removed once.
#pragma once

#include <vector>

#include "commandline/CommandLineRemoval.h"

// Ejects each removable device that holds one of `drives`, once however many of the
// drives it holds, with the storage preparation before each as any removal has. A card
// in a reader is taken with its reader here; the card alone is the card ejection's to
// give, per drive, in place of FindDriveHolders.
RemovalTally RemoveDrivesHolders(const std::vector<wchar_t>& drives, const SystemNames& names,
                                 const SettingsRecord& settings, DeviceTree& tree, Drives& storage,
                                 StorageEjectPreparation& preparation,
                                 const CommandLineVetoes* vetoes = nullptr);
