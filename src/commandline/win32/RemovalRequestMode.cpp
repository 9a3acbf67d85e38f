#include "commandline/win32/RemovalRequestMode.h"

#include <windows.h>

#include <memory>
#include <optional>

#include "commandline/CommandLineListing.h"
#include "commandline/CommandLineRequest.h"
#include "commandline/RemovalRetries.h"
#include "commandline/win32/CommandLineText.h"
#include "commandline/win32/RequestRunner.h"
#include "common/win32/ResourceStrings.h"
#include "common/win32/StandardOutput.h"
#include "pnp/DeviceNames.h"
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

// Set by the console's Ctrl+C (or Ctrl+Break) while a removal waits: the request in
// flight runs to its end, and none follows. Never closed: the handler runs on a thread
// of the console's own, and may still be reading it when the wait has ended.
HANDLE StopWaitingEvent() {
  static const HANDLE event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  return event;
}

BOOL WINAPI OnConsoleControl(DWORD type) {
  if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT) return FALSE;
  ::SetEvent(StopWaitingEvent());
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

// Names are the user's data: "/x" stays a name when a device of exactly that name is
// there.
bool DeviceNamed(const std::wstring& name, const SettingsRecord& settings,
                 const SystemNames& names) {
  const std::unique_ptr<DeviceTree> tree = CreateDeviceTree();
  for (const std::wstring& offered : CommandLineNames(*tree, names, settings.m_nDeviceKind))
    if (DeviceNamesEqual(offered, name)) return true;
  return false;
}

RequestOutcome RunWaiting(RequestRunner& runner, unsigned seconds, HANDLE stop) {
  // Ctrl+C reaches a program only through a console it is attached to: the one it was
  // started from is borrowed for the whole wait.
  const win32::StandardOutput console(win32::StandardStream::Error);
  const bool handled = stop && ::SetConsoleCtrlHandler(&OnConsoleControl, TRUE);
  ConsoleRetryClock clock(stop);
  RequestOutcome last;
  RunWithRetries(seconds, clock, [&] {
    last = runner.Once();
    return last.result.status;
  });
  if (handled) ::SetConsoleCtrlHandler(&OnConsoleControl, FALSE);
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
  const bool waiting = request.waitSeconds && !request.whatIf;
  const HANDLE stop = waiting ? StopWaitingEvent() : nullptr;
  NoBoxes prompter;
  RequestRunner runner(request, request.value, settings, names, prompter, stop);
  return TellRequestOutcome(waiting ? RunWaiting(runner, *request.waitSeconds, stop)
                                    : runner.Once());
}
