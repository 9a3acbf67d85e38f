#include "commandline/win32/RequestRunner.h"

#include <memory>

#include "commandline/EjectRecordingTree.h"
#include "commandline/WhatIfLines.h"
#include "commandline/WithheldMediaDrives.h"
#include "commandline/win32/CommandLineText.h"
#include "common/TextFormat.h"
#include "common/win32/ResourceStrings.h"
#include "devices/win32/ExplorerClosingWin32.h"
#include "devices/win32/KernelPnpEventLog.h"
#include "devices/win32/VetoHolderLookup.h"
#include "drives/win32/KernelDrives.h"
#include "pnp/win32/DeviceTreeFactory.h"

namespace {

// "/whatif" closes no Explorer window: nothing will be ejected.
class NoPreparation final : public StorageEjectPreparation {
 public:
  void PrepareStorageEject() override {}
};

class EventStop final : public RemovalStop {
 public:
  explicit EventStop(HANDLE event) : event_(event) {}
  bool StopAsked() const override {
    return event_ != nullptr && ::WaitForSingleObject(event_, 0) == WAIT_OBJECT_0;
  }
  // A pause that the stop cuts short.
  void Pause(std::uint32_t ms) const {
    if (event_ != nullptr)
      ::WaitForSingleObject(event_, ms);
    else
      ::Sleep(ms);
  }

 private:
  HANDLE event_;
};

}  // namespace

RequestRunner::RequestRunner(RemovalRequest request, std::wstring typed,
                             const SettingsRecord& settings, const SystemNames& names,
                             Prompter& prompter, HANDLE stop)
    : request_(std::move(request)),
      typed_(std::move(typed)),
      settings_(settings),
      names_(names),
      prompter_(prompter),
      stop_(stop) {
  const std::uint64_t start = SystemTimeNow();
  vetoes_.findHolder = [start](const VetoedRequest& vetoed) {
    return LookUpVetoHolder(vetoed, start);
  };
  // While waiting, the same holder refuses every second: each device's veto is told
  // once, by its first line, which names the device.
  vetoes_.tell = [this](const std::vector<PromptLine>& lines) {
    if (lines.empty()) return;
    if (!told_.insert(JoinPromptLines({lines.front()}, &win32::LoadResourceString)).second) return;
    WriteCommandLineText(win32::StandardStream::Error,
                         JoinPromptLines(lines, &win32::LoadResourceString));
  };
}

RequestOutcome RequestRunner::Once() {
  const std::unique_ptr<DeviceTree> live = CreateDeviceTree();
  EjectRecordingTree tree(*live, request_.whatIf ? EjectRecordingTree::Requests::Withhold
                                                 : EjectRecordingTree::Requests::Ask);
  KernelDrives kernel;
  WithheldMediaDrives withheld(kernel);
  Drives& drives = request_.whatIf ? static_cast<Drives&>(withheld) : kernel;
  NoPreparation none;
  ExplorerClosingPreparation closing(settings_);
  StorageEjectPreparation& preparation =
      request_.whatIf ? static_cast<StorageEjectPreparation&>(none) : closing;
  EveryKindRemoval removal(tree, drives, settings_, names_, preparation);
  const EventStop stop(stop_);
  removal.StopWhen(stop, [&stop](std::uint32_t ms) { stop.Pause(ms); });

  RequestOutcome outcome;
  outcome.result =
      RemoveRequested(request_, removal, tree, drives, request_.whatIf ? nullptr : &vetoes_);
  if (request_.whatIf) {
    outcome.wouldGo = WhatIfLines(*live, kernel, names_, tree.Answers(), withheld.Withheld());
  } else {
    ReportNothingRemoved(typed_, settings_, outcome.result.tally, prompter_);
  }
  return outcome;
}

int TellRequestOutcome(const RequestOutcome& outcome) {
  for (const PromptLine& line : outcome.wouldGo)
    WriteCommandLineText(win32::StandardStream::Output,
                         JoinPromptLines({line}, &win32::LoadResourceString));
  if (outcome.result.status != 0 && outcome.result.reason)
    TellCommandLineReason(*outcome.result.reason);
  return outcome.result.status;
}
