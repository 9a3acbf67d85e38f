#include "commandline/CommandLineRemoval.h"

#include "devices/VetoMessage.h"
#include "drives/VolumeLabels.h"
#include "resources/resource.h"
#include "settings/SettingsRecord.h"

namespace {

// The drives a request names; `placeFound` tells whether the place itself is there.
std::vector<wchar_t> DrivesNamed(const RemovalRequest& request, Drives& drives, bool& placeFound) {
  switch (request.target) {
    case RemovalTarget::Drive:
      placeFound = drives.DriveType(request.value[0]) != winvalues::kDriveNoRootDir;
      return {request.value[0]};
    case RemovalTarget::Folder: {
      const std::optional<wchar_t> letter = DriveOfMountFolder(drives, request.value);
      placeFound = letter.has_value();
      return letter ? std::vector<wchar_t>{*letter} : std::vector<wchar_t>{};
    }
    case RemovalTarget::Label: {
      std::vector<wchar_t> labelled = DrivesLabelled(drives, request.value);
      placeFound = !labelled.empty();
      return labelled;
    }
    case RemovalTarget::Name:
      break;
  }
  placeFound = true;
  return {};
}

void RemoveDrives(const RemovalRequest& request, const std::vector<wchar_t>& letters,
                  EveryKindRemoval& removal) {
  if (request.card) {
    for (const wchar_t letter : letters) removal.EjectCard(letter, nullptr);
  } else if (request.target == RemovalTarget::Label) {
    removal.RemoveDrivesHolders(letters);
  } else if (!letters.empty()) {
    removal.RemoveDriveHolders(letters.front());
  }
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

RequestResult RemoveRequested(const RemovalRequest& request, EveryKindRemoval& removal,
                              const EjectRecordingTree& tree, Drives& drives,
                              const CommandLineVetoes* vetoes) {
  bool placeFound = true;
  if (request.target == RemovalTarget::Name)
    removal.RemoveByName(request.value, nullptr, RemovalStartedBy::CommandLine);
  else
    RemoveDrives(request, DrivesNamed(request, drives, placeFound), removal);
  TellVetoesTo(removal.Vetoes(), vetoes);
  RequestResult result;
  result.tally = removal.Tally();
  result.status = request.target == RemovalTarget::Label
                      ? ExitStatusForEveryTarget(result.tally.requests, result.tally.successes)
                      : ExitStatusForRemoval(result.tally);
  if (result.status != 0)
    result.reason = RemovalFailureReason(request.target, request.value, placeFound, tree.Answers(),
                                         removal.CardRefusals(), result.tally.requests);
  return result;
}

void ReportNothingRemoved(std::wstring_view argument, const SettingsRecord& settings,
                          const RemovalTally& tally, Prompter& prompter) {
  if (tally.successes != 0 || settings.m_bDispRejectErr == 0) return;
  constexpr unsigned kFlags =
      winvalues::kMbOk | winvalues::kMbIconExclamation | winvalues::kMbTopmost;
  static_assert(kFlags == 0x40030);
  prompter.Show(IDS_REMOVAL_FAILED, std::wstring(argument), IDS_ERROR_CAPTION, kFlags);
}

int ExitStatusForRemoval(const RemovalTally& tally) {
  if (tally.successes > 0) return 0;
  return tally.requests == 0 ? 1 : 2;
}
