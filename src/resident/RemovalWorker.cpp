#include "resident/RemovalWorker.h"

#include "common/Prompter.h"
#include "common/WinValues.h"
#include "devices/VetoMessage.h"
#include "resources/resource.h"
#include "settings/RegistrationStore.h"

namespace {

void Settle(RemovalServices& services) {
  if (services.countSettled) services.countSettled();
}

// True when the user asked for the removal to be tried again.
bool ReportVetoes(const RemovalOutcome& outcome, RemovalServices& services) {
  constexpr unsigned kFlags =
      winvalues::kMbRetryCancel | winvalues::kMbIconExclamation | winvalues::kMbTopmost;
  for (const VetoedRequest& vetoed : outcome.vetoes) {
    const std::optional<VetoHolder> holder =
        services.findHolder ? services.findHolder(vetoed) : std::nullopt;
    const auto lines = VetoMessageLines(vetoed.deviceName, vetoed.veto, holder);
    if (services.prompter.ShowLines(lines, IDS_ERROR_CAPTION, kFlags) == winvalues::kIdRetry)
      return true;
  }
  return false;
}

}  // namespace

unsigned RemoveRegisteredDevice(RemovalJob& job, RemovalServices& services) {
  const RemovalOutcome outcome = services.findAndEject(job.name, job.record);
  if (!job.BeginReport()) {
    Settle(services);
    return 0;
  }
  // Stored first, so that the count survives whatever the balloon does.
  if (outcome.found && job.Counted()) WriteBackRemovalCount(services.settingsFile, job.record);
  Settle(services);
  if (outcome.found) {
    if (job.Counted() && job.settings.m_bDispMessage)
      services.showBalloon(job.record.name, job.record.reject_times);
  } else if (outcome.vetoes.empty() && job.settings.m_bDispRejectErr) {
    services.prompter.Show(IDS_REMOVAL_FAILED, job.name, IDS_ERROR_CAPTION,
                           winvalues::kMbOk | winvalues::kMbIconExclamation | winvalues::kMbTopmost);
  }
  if (ReportVetoes(outcome, services)) job.AskRetry();
  return 0;
}
