#include "devices/CommandLineRemoval.h"

#include "common/Prompter.h"
#include "devices/DriveHolder.h"
#include "devices/VetoMessage.h"
#include "resources/resource.h"
#include "settings/SettingsRecord.h"

namespace {

void ReportNothingRemoved(std::wstring_view argument, const SettingsRecord& settings,
                          const RemovalTally& tally, Prompter& prompter) {
  if (tally.successes != 0 || settings.m_bDispRejectErr == 0) return;
  constexpr unsigned kFlags =
      winvalues::kMbOk | winvalues::kMbIconExclamation | winvalues::kMbTopmost;
  static_assert(kFlags == 0x40030);
  prompter.Show(IDS_REMOVAL_FAILED, std::wstring(argument), IDS_ERROR_CAPTION, kFlags);
}

}  // namespace

void TellVetoes(const DeviceRemoval& removal, const CommandLineVetoes* vetoes) {
  if (vetoes == nullptr || !vetoes->tell) return;
  for (const VetoedRequest& vetoed : removal.Vetoes()) {
    const std::optional<VetoHolder> holder =
        vetoes->findHolder ? vetoes->findHolder(vetoed) : std::nullopt;
    vetoes->tell(VetoMessageLines(vetoed.deviceName, vetoed.veto, holder));
  }
}

RemovalTally RemoveDeviceByName(std::wstring_view name, const SystemNames& names,
                                const SettingsRecord& settings, DeviceTree& tree,
                                StorageEjectPreparation& preparation, Prompter& prompter,
                                const CommandLineVetoes* vetoes) {
  DeviceRemoval removal(tree, settings.m_nDeviceKind, names, preparation);
  removal.FindAndEject(name, nullptr, RemovalRoad::CommandLine);
  TellVetoes(removal, vetoes);
  ReportNothingRemoved(name, settings, removal.Tally(), prompter);
  return removal.Tally();
}

RemovalTally RemoveDriveHolder(std::wstring_view argument, std::optional<wchar_t> letter,
                               const SystemNames& names, const SettingsRecord& settings,
                               DeviceTree& tree, DriveStorage& storage,
                               StorageEjectPreparation& preparation, Prompter& prompter,
                               const CommandLineVetoes* vetoes) {
  // The storage test before the eject compares with the running system's description.
  DeviceRemoval removal(tree, settings.m_nDeviceKind, names, preparation);
  if (letter) {
    for (const DevNode holder : FindDriveHolders(tree, storage, *letter))
      removal.EjectAndCount(holder, nullptr);
  }
  TellVetoes(removal, vetoes);
  ReportNothingRemoved(argument, settings, removal.Tally(), prompter);
  return removal.Tally();
}
