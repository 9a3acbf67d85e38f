#include "app/win32/CommandLineModes.h"

#include <windows.h>

#include <optional>
#include <vector>

#include "app/DriveArgument.h"
#include "app/StartupMode.h"
#include "common/win32/MessageBoxPrompter.h"
#include "common/win32/StandardOutput.h"
#include "devices/CommandLineListing.h"
#include "devices/CommandLineRemoval.h"
#include "devices/win32/DeviceTreeFactory.h"
#include "resident/win32/ExplorerPreparation.h"

namespace {

// No window exists in these modes: a failure message belongs to whatever is active.
MessageBoxPrompter ActiveWindowPrompter() {
  return MessageBoxPrompter([] { return ::GetActiveWindow(); });
}

// The kernel device that `drive` ("E:") stands for now: the first of the names that
// QueryDosDeviceW gives, the one in effect. Nothing for a drive that does not exist.
std::optional<std::wstring> DosDeviceTarget(const std::wstring& drive) {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        ::QueryDosDeviceW(drive.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length != 0) return std::wstring(buffer.data());
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || buffer.size() >= 32768)
      return std::nullopt;
    buffer.resize(buffer.size() * 2);
  }
}

}  // namespace

int RunRemovalByName(const std::wstring& name, const SettingsRecord& settings,
                     const SystemNames& names) {
  const std::unique_ptr<DeviceTree> tree = CreateDeviceTree();
  ExplorerClosingPreparation preparation(settings);
  MessageBoxPrompter prompter = ActiveWindowPrompter();
  return ExitStatusForRemoval(
      RemoveDeviceByName(name, names, settings, *tree, preparation, prompter));
}

int RunRemovalByDrive(const std::wstring& argument, const SettingsRecord& settings,
                      const SystemNames& names) {
  const std::optional<std::wstring> drive = ParseDriveArgument(argument);
  const std::optional<std::wstring> target = drive ? DosDeviceTarget(*drive) : std::nullopt;
  const std::unique_ptr<DeviceTree> tree = CreateDeviceTree();
  ExplorerClosingPreparation preparation(settings);
  MessageBoxPrompter prompter = ActiveWindowPrompter();
  return ExitStatusForRemoval(
      RemoveDriveHolder(argument, target, names, settings, *tree, preparation, prompter));
}

int RunListing(const SettingsRecord& settings, const SystemNames& names) {
  const std::unique_ptr<DeviceTree> tree = CreateDeviceTree();
  const auto lines = CommandLineNames(*tree, names, settings.m_nDeviceKind);
  win32::WriteToStandardOutput(FormatNameLines(lines));
  return 0;
}
