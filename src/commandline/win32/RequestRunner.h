// One removal the command line asks for, composed of the live tree and drives, or for
// "/whatif" of twins that withhold every request and every medium: the plain name and
// drive, and every form with switches, take it alike.
#pragma once

#include <windows.h>

#include <set>
#include <string>
#include <vector>

#include "commandline/CommandLineRemoval.h"
#include "commandline/CommandLineRequest.h"
#include "pnp/SystemNames.h"
#include "settings/SettingsRecord.h"

struct RequestOutcome {
  RequestResult result;
  std::vector<PromptLine> wouldGo;  // "/whatif": one line a device or card
};

class RequestRunner {
 public:
  // `typed`: the argument as the user typed it, which IDS_REMOVAL_FAILED names when
  // `prompter` shows it. `stop` (manual-reset, may be null) ends the walk and the lock's
  // retries once set; each veto is told once, however often it is met.
  RequestRunner(RemovalRequest request, std::wstring typed, const SettingsRecord& settings,
                const SystemNames& names, Prompter& prompter, HANDLE stop);

  RequestOutcome Once();

 private:
  const RemovalRequest request_;
  const std::wstring typed_;
  const SettingsRecord& settings_;
  const SystemNames& names_;
  Prompter& prompter_;
  const HANDLE stop_;
  CommandLineVetoes vetoes_;
  std::set<std::wstring> told_;
};

// What would go on the standard output, the reason on the standard error; the status.
int TellRequestOutcome(const RequestOutcome& outcome);
