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

// `refused`: the holder that this try could not ask to close.
VetoReply AskTheUser(const RemovalOutcome& outcome, RemovalServices& services,
                     std::optional<VetoHolder> refused) {
  constexpr unsigned kFlags = winvalues::kMbIconExclamation | winvalues::kMbTopmost;
  Prompter& prompter = services.prompter;
  VetoAsking asking{services.mayOfferClose, std::move(refused),
                    [&prompter](const std::vector<PromptLine>& lines,
                                const std::optional<PromptLine>& closeButton) {
                      return closeButton ? prompter.ShowLinesWithThirdButton(
                                               lines, IDS_ERROR_CAPTION, kFlags, *closeButton)
                                         : prompter.ShowLines(lines, IDS_ERROR_CAPTION,
                                                              kFlags | winvalues::kMbRetryCancel);
                    }};
  return AskAboutVetoes(outcome.vetoes, asking);
}

// The close the user asked for at the last try's veto message; the holder when it could
// not be asked.
std::optional<VetoHolder> CloseHolderFirst(const RemovalJob& job, RemovalServices& services) {
  if (!job.closeFirst || !services.closeHolder) return std::nullopt;
  // A stop during the wait leaves the job abandoned: the removal then asks for nothing.
  if (services.closeHolder(*job.closeFirst, job) == HolderClose::Refused) return job.closeFirst;
  return std::nullopt;
}

}  // namespace

unsigned RemoveRegisteredDevice(RemovalJob& job, RemovalServices& services) {
  std::optional<VetoHolder> refused = CloseHolderFirst(job, services);
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
  const VetoReply reply = AskTheUser(outcome, services, std::move(refused));
  if (reply.retry) job.AskRetry(reply.closeFirst);
  return 0;
}
