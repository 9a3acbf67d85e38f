#include "commandline/LabelRemoval.h"

#include <algorithm>

#include "drives/DriveHolders.h"
#include "drives/HotPlugDisks.h"
#include "settings/SettingsRecord.h"

RemovalTally RemoveDrivesHolders(const std::vector<wchar_t>& drives, const SystemNames& names,
                                 const SettingsRecord& settings, DeviceTree& tree, Drives& storage,
                                 StorageEjectPreparation& preparation,
                                 const CommandLineVetoes* vetoes) {
  // Every holder is found before the first goes: an ejected device takes its drives,
  // and the storage calls on them, with it.
  std::vector<DevNode> holders;
  for (const wchar_t letter : drives) {
    for (const DevNode holder : FindDriveHolders(tree, storage, letter))
      if (std::find(holders.begin(), holders.end(), holder) == holders.end())
        holders.push_back(holder);
  }
  DeviceRemoval removal(tree, settings.m_nDeviceKind, names, preparation);
  for (const DevNode holder : holders)
    if (!HoldsSystemDisk(tree, storage, holder)) removal.EjectTallied(holder, nullptr);
  TellVetoesTo(removal.Vetoes(), vetoes);
  return removal.Tally();
}
