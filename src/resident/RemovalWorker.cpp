#include "resident/RemovalWorker.h"

#include "common/Prompter.h"
#include "common/WinValues.h"
#include "resources/resource.h"
#include "settings/RegistrationStore.h"

namespace {

void Settle(RemovalServices& services) {
  if (services.countSettled) services.countSettled();
}

}  // namespace

unsigned RemoveRegisteredDevice(RemovalJob& job, RemovalServices& services) {
  const bool found = services.findAndEject(job.name, job.record);
  if (!job.BeginReport()) {
    Settle(services);
    return 0;
  }
  // Stored first, so that the count survives whatever the balloon does.
  if (found && job.Counted()) WriteBackRemovalCount(services.settingsFile, job.record);
  Settle(services);
  if (found) {
    if (job.Counted() && job.settings.m_bDispMessage) services.showBalloon(job.record.name, job.record.reject_times);
  } else if (job.settings.m_bDispRejectErr) {
    services.prompter.Show(IDS_REMOVAL_FAILED, job.name, IDS_ERROR_CAPTION,
                           winvalues::kMbOk | winvalues::kMbIconExclamation |
                               winvalues::kMbTopmost);
  }
  return 0;
}
