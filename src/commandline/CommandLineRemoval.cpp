#include "commandline/CommandLineRemoval.h"

#include "common/Prompter.h"
#include "devices/EveryKindRemoval.h"
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

void TellVetoesTo(std::vector<VetoedRequest> vetoed, const CommandLineVetoes* vetoes) {
  if (vetoes == nullptr || !vetoes->tell) return;
  FindVetoHolders(vetoed, vetoes->findHolder, nullptr);
  TellVetoes(vetoed, [vetoes](const std::vector<PromptLine>& lines) {
    vetoes->tell(lines);
    return false;
  });
}

RemovalTally RemoveDeviceByName(std::wstring_view name, const SystemNames& names,
                                const SettingsRecord& settings, DeviceTree& tree,
                                StorageEjectPreparation& preparation, Prompter& prompter,
                                const CommandLineVetoes* vetoes, Drives* storage) {
  DeviceRemoval removal(tree, settings.m_nDeviceKind, names, preparation);
  if (storage == nullptr) {
    removal.FindAndEject(name, nullptr, RemovalStartedBy::CommandLine);
    TellVetoesTo(removal.Vetoes(), vetoes);
    ReportNothingRemoved(name, settings, removal.Tally(), prompter);
    return removal.Tally();
  }
  EveryKindRemoval kinds(removal, tree, *storage, settings.m_nDeviceKind, preparation);
  kinds.RemoveByName(name, nullptr, RemovalStartedBy::CommandLine);
  TellVetoesTo(kinds.Vetoes(), vetoes);
  ReportNothingRemoved(name, settings, kinds.Tally(), prompter);
  return kinds.Tally();
}

RemovalTally RemoveDriveHolder(std::wstring_view argument, std::optional<wchar_t> letter,
                               const SystemNames& names, const SettingsRecord& settings,
                               DeviceTree& tree, Drives& storage,
                               StorageEjectPreparation& preparation, Prompter& prompter,
                               const CommandLineVetoes* vetoes) {
  // The storage test before the eject compares with the running system's description.
  DeviceRemoval removal(tree, settings.m_nDeviceKind, names, preparation);
  EveryKindRemoval kinds(removal, tree, storage, settings.m_nDeviceKind, preparation);
  if (letter) kinds.RemoveDriveHolders(*letter);
  TellVetoesTo(kinds.Vetoes(), vetoes);
  ReportNothingRemoved(argument, settings, kinds.Tally(), prompter);
  return kinds.Tally();
}

RemovalTally RemoveCard(std::wstring_view argument, std::optional<wchar_t> letter,
                        const SystemNames& names, const SettingsRecord& settings, DeviceTree& tree,
                        Drives& storage, StorageEjectPreparation& preparation, Prompter& prompter,
                        const CommandLineVetoes* vetoes) {
  DeviceRemoval removal(tree, settings.m_nDeviceKind, names, preparation);
  EveryKindRemoval kinds(removal, tree, storage, settings.m_nDeviceKind, preparation);
  if (letter) kinds.EjectCard(*letter, nullptr);
  TellVetoesTo(kinds.Vetoes(), vetoes);
  ReportNothingRemoved(argument, settings, kinds.Tally(), prompter);
  return kinds.Tally();
}

int ExitStatusForRemoval(const RemovalTally& tally) {
  if (tally.successes > 0) return 0;
  return tally.requests == 0 ? 1 : 2;
}
