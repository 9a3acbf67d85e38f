#include "resident/RemovalWorker.h"

#include "common/Prompter.h"
#include "common/WinValues.h"
#include "devices/VetoMessage.h"
#include "resources/resource.h"
#include "settings/RegistrationStore.h"

namespace {

void TellRemovalDone(RemovalServices& services) {
  if (services.removalDone) services.removalDone();
}

// True when the user asked for the removal to be tried again.
bool AskAboutVetoes(const RemovalOutcome& outcome, RemovalServices& services) {
  constexpr unsigned kFlags =
      winvalues::kMbRetryCancel | winvalues::kMbIconExclamation | winvalues::kMbTopmost;
  return TellVetoes(outcome.vetoes, [&services](const std::vector<PromptLine>& lines) {
    return services.prompter.ShowLines(lines, IDS_ERROR_CAPTION, kFlags) == winvalues::kIdRetry;
  });
}

}  // namespace

unsigned RemoveRegisteredDevice(RemovalJob& job, RemovalServices& services) {
  RemovalOutcome outcome = services.findAndEject(job.name, job.record);
  FindVetoHolders(outcome.vetoes, services.findHolder, &job);
  if (!job.BeginReport()) {
    TellRemovalDone(services);
    return 0;
  }
  // Stored first, so that the count survives whatever the balloon does.
  if (outcome.found && job.Counted()) WriteBackRemovalCount(services.settingsFile, job.record);
  TellRemovalDone(services);
  if (outcome.found) {
    if (job.Counted() && job.settings.m_bDispMessage)
      services.showBalloon(job.record.name, job.record.reject_times);
  } else if (outcome.vetoes.empty() && job.settings.m_bDispRejectErr) {
    services.prompter.Show(
        IDS_REMOVAL_FAILED, job.name, IDS_ERROR_CAPTION,
        winvalues::kMbOk | winvalues::kMbIconExclamation | winvalues::kMbTopmost);
  }
  if (AskAboutVetoes(outcome, services)) job.AskRetry();
  return 0;
}
