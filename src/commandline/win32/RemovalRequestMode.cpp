#include "commandline/win32/RemovalRequestMode.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <set>

#include "commandline/CommandLineListing.h"
#include "commandline/CommandLineRemoval.h"
#include "commandline/CommandLineRequest.h"
#include "commandline/EjectRecordingTree.h"
#include "commandline/LabelRemoval.h"
#include "commandline/RemovalRetries.h"
#include "commandline/WithheldMediaDrives.h"
#include "commandline/win32/CommandLineText.h"
#include "common/TextFormat.h"
#include "common/win32/Handles.h"
#include "common/win32/ResourceStrings.h"
#include "devices/win32/ExplorerClosingWin32.h"
#include "devices/win32/KernelPnpEventLog.h"
#include "devices/win32/VetoHolderLookup.h"
#include "drives/DriveHolders.h"
#include "drives/VolumeLabels.h"
#include "drives/win32/KernelDrives.h"
#include "pnp/DeviceNames.h"
#include "pnp/DeviceNodes.h"
#include "pnp/NodeRoles.h"
#include "pnp/win32/DeviceTreeFactory.h"
#include "resources/resource.h"

namespace {

// A script is never held by a box: the reason line takes the place of IDS_REMOVAL_FAILED.
class NoBoxes final : public Prompter {
 public:
  int Show(unsigned, const std::optional<std::wstring>&, unsigned, unsigned) override {
    return IDOK;
  }
  int ShowLines(const std::vector<PromptLine>&, unsigned, unsigned) override { return IDOK; }
};

// "/whatif" closes no Explorer window: nothing will be ejected.
class NoPreparation final : public StorageEjectPreparation {
 public:
  void PrepareStorageEject() override {}
};

// Set by the console's Ctrl+C (or Ctrl+Break) while a removal waits; the request in
// flight runs to its end, and none follows.
HANDLE g_stopWaiting = nullptr;

BOOL WINAPI OnConsoleControl(DWORD type) {
  if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT) return FALSE;
  ::SetEvent(g_stopWaiting);
  return TRUE;
}

class ConsoleRetryClock final : public RetryClock {
 public:
  explicit ConsoleRetryClock(HANDLE stop) : stop_(stop) {}
  std::uint32_t NowTick() override { return ::GetTickCount(); }
  bool Pause(std::uint32_t ms) override { return ::WaitForSingleObject(stop_, ms) == WAIT_TIMEOUT; }

 private:
  HANDLE stop_;
};

struct RequestOutcome {
  int status = 1;
  std::optional<PromptLine> reason;
  std::vector<std::wstring> wouldGo;  // "/whatif": one line a device
};

// The name a person knows the ejected node by: a USB mass-storage node by its disk, as
// the device list offers it; and the drives it holds.
std::wstring WhatIfLine(DeviceTree& tree, Drives& storage, const SystemNames& names,
                        const EjectAnswer& answer) {
  std::wstring text = answer.deviceName;
  if (IsUsbMassStorage(tree, answer.node, answer.deviceName, names)) {
    if (const auto disk = GetFirstChild(tree, answer.node)) text = GetDeviceName(tree, *disk);
  }
  std::wstring drives;
  for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
    const std::vector<DevNode> holders = FindDriveHolders(tree, storage, letter);
    if (std::find(holders.begin(), holders.end(), answer.node) == holders.end()) continue;
    drives += (drives.empty() ? L"" : L" ") + std::wstring{letter, L':'};
  }
  if (!drives.empty()) text += L" (" + drives + L")";
  return FillMessageText(win32::LoadResourceString(IDS_CL_WOULD_REMOVE), text);
}

// The card by the disk that shows it in its slot, and the drive.
std::wstring WhatIfCardLine(DeviceTree& tree, Drives& storage, wchar_t letter) {
  const std::wstring drive{letter, L':'};
  const std::vector<DevNode> disks = FindDriveDevices(tree, storage, letter);
  const std::wstring text =
      disks.empty() ? drive : GetDeviceName(tree, disks.front()) + L" (" + drive + L")";
  return FillMessageText(win32::LoadResourceString(IDS_CL_WOULD_TAKE_CARD), text);
}

class RequestRunner {
 public:
  RequestRunner(const RemovalRequest& request, const SettingsRecord& settings,
                const SystemNames& names)
      : request_(request), settings_(settings), names_(names) {
    const std::uint64_t start = SystemTimeNow();
    vetoes_.findHolder = [start](const VetoedRequest& vetoed) {
      return LookUpVetoHolder(vetoed, start);
    };
    // While waiting, the same holder refuses every second: each device's veto is told
    // once, by its first line, which names the device.
    vetoes_.tell = [this](const std::vector<PromptLine>& lines) {
      if (lines.empty()) return;
      if (!told_.insert(JoinPromptLines({lines.front()}, &win32::LoadResourceString)).second)
        return;
      WriteCommandLineText(win32::StandardStream::Error,
                           JoinPromptLines(lines, &win32::LoadResourceString));
    };
  }

  RequestOutcome Once() {
    const std::unique_ptr<DeviceTree> live = CreateDeviceTree();
    EjectRecordingTree tree(*live, request_.whatIf ? EjectRecordingTree::Requests::Withhold
                                                   : EjectRecordingTree::Requests::Ask);
    KernelDrives kernel;
    WithheldMediaDrives withheld(kernel);
    Drives& storage = request_.whatIf ? static_cast<Drives&>(withheld) : kernel;
    NoBoxes prompter;
    NoPreparation none;
    ExplorerClosingPreparation closing(settings_);
    StorageEjectPreparation& preparation =
        request_.whatIf ? static_cast<StorageEjectPreparation&>(none) : closing;
    const CommandLineVetoes* vetoes = request_.whatIf ? nullptr : &vetoes_;
    const std::wstring& value = request_.value;

    // The device that holds each drive, or with "/card" the card in it.
    const auto removeDrives = [&](const std::vector<wchar_t>& drives) {
      if (!request_.card)
        return RemoveDrivesHolders(drives, names_, settings_, tree, storage, preparation, vetoes);
      RemovalTally sum;
      for (const wchar_t letter : drives) {
        const RemovalTally one = RemoveCard(value, letter, names_, settings_, tree, storage,
                                            preparation, prompter, vetoes);
        sum.requests += one.requests;
        sum.successes += one.successes;
      }
      return sum;
    };

    RemovalTally tally;
    bool placeFound = true;
    switch (request_.target) {
      case RemovalTarget::Name:
        tally = RemoveDeviceByName(value, names_, settings_, tree, preparation, prompter, vetoes,
                                   &storage);
        break;
      case RemovalTarget::Drive:
        placeFound = storage.DriveType(value[0]) != winvalues::kDriveNoRootDir;
        tally = request_.card ? removeDrives({value[0]})
                              : RemoveDriveHolder(value, value[0], names_, settings_, tree, storage,
                                                  preparation, prompter, vetoes);
        break;
      case RemovalTarget::Folder: {
        const std::optional<wchar_t> letter = DriveOfMountFolder(storage, value);
        placeFound = letter.has_value();
        if (letter)
          tally = request_.card ? removeDrives({*letter})
                                : RemoveDriveHolder(value, letter, names_, settings_, tree, storage,
                                                    preparation, prompter, vetoes);
        break;
      }
      case RemovalTarget::Label: {
        const std::vector<wchar_t> drives = DrivesLabelled(storage, value);
        placeFound = !drives.empty();
        tally = removeDrives(drives);
        break;
      }
    }
    RequestOutcome attempt;
    attempt.status = request_.target == RemovalTarget::Label
                         ? ExitStatusForEveryTarget(tally.requests, tally.successes)
                         : ExitStatusForRemoval(tally);
    if (attempt.status != 0)
      attempt.reason =
          RemovalFailureReason(request_.target, request_.value, placeFound, tree.Answers());
    if (request_.whatIf) {
      std::vector<DevNode> shown;
      for (const EjectAnswer& answer : tree.Answers()) {
        if (std::find(shown.begin(), shown.end(), answer.node) != shown.end()) continue;
        shown.push_back(answer.node);
        attempt.wouldGo.push_back(WhatIfLine(*live, kernel, names_, answer));
      }
      for (const wchar_t letter : withheld.Withheld())
        attempt.wouldGo.push_back(WhatIfCardLine(*live, kernel, letter));
    }
    return attempt;
  }

 private:
  const RemovalRequest& request_;
  const SettingsRecord& settings_;
  const SystemNames& names_;
  CommandLineVetoes vetoes_;
  std::set<std::wstring> told_;
};

// Names are the user's data: "/x" stays a name when a device of exactly that name is
// there.
bool DeviceNamed(const std::wstring& name, const SettingsRecord& settings,
                 const SystemNames& names) {
  const std::unique_ptr<DeviceTree> tree = CreateDeviceTree();
  for (const std::wstring& offered : CommandLineNames(*tree, names, settings.m_nDeviceKind))
    if (DeviceNamesEqual(offered, name)) return true;
  return false;
}

RequestOutcome RunWaiting(RequestRunner& runner, unsigned seconds) {
  win32::UniqueHandle stop(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
  // Ctrl+C reaches a program only through a console it is attached to: the one it was
  // started from is borrowed for the whole wait.
  const win32::StandardOutput console(win32::StandardStream::Error);
  g_stopWaiting = stop.get();
  const bool handled = stop && ::SetConsoleCtrlHandler(&OnConsoleControl, TRUE);
  ConsoleRetryClock clock(stop.get());
  RequestOutcome last;
  RunWithRetries(seconds, clock, [&] {
    last = runner.Once();
    return last.status;
  });
  if (handled) ::SetConsoleCtrlHandler(&OnConsoleControl, FALSE);
  g_stopWaiting = nullptr;
  return last;
}

}  // namespace

int RunRemovalRequest(const std::vector<std::wstring>& arguments, const SettingsRecord& settings,
                      const SystemNames& names) {
  const ParsedCommandLine parsed = ParseRemovalCommandLine(arguments);
  if (parsed.usage) {
    WriteCommandLineText(win32::StandardStream::Output, win32::LoadResourceString(IDS_CL_USAGE));
    return 0;
  }
  if (parsed.problem) {
    TellCommandLineReason(*parsed.problem);
    return 1;
  }
  const RemovalRequest& request = parsed.request;
  if (request.unknownSwitch && !DeviceNamed(request.value, settings, names)) {
    TellCommandLineReason({IDS_CL_UNKNOWN_SWITCH, request.value, std::nullopt});
    return 1;
  }
  RequestRunner runner(request, settings, names);
  const RequestOutcome last = request.waitSeconds && !request.whatIf
                                  ? RunWaiting(runner, *request.waitSeconds)
                                  : runner.Once();
  for (const std::wstring& line : last.wouldGo)
    WriteCommandLineText(win32::StandardStream::Output, line);
  if (last.status != 0 && last.reason) TellCommandLineReason(*last.reason);
  return last.status;
}
