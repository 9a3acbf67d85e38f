#include "app/win32/CommandLineModes.h"

#include <windows.h>

#include <optional>

#include "app/DriveArgument.h"
#include "app/StartupMode.h"
#include "common/win32/MessageBoxPrompter.h"
#include "common/win32/StandardOutput.h"
#include "devices/CommandLineListing.h"
#include "devices/CommandLineRemoval.h"
#include "devices/win32/DeviceTreeFactory.h"
#include "devices/win32/KernelDriveStorage.h"
#include "resident/win32/ExplorerPreparation.h"

namespace {

// No window exists in these modes: a failure message belongs to whatever is active.
MessageBoxPrompter ActiveWindowPrompter() {
  return MessageBoxPrompter([] { return ::GetActiveWindow(); });
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
  const std::optional<wchar_t> letter = drive ? std::optional<wchar_t>((*drive)[0]) : std::nullopt;
  const std::unique_ptr<DeviceTree> tree = CreateDeviceTree();
  KernelDriveStorage storage;
  ExplorerClosingPreparation preparation(settings);
  MessageBoxPrompter prompter = ActiveWindowPrompter();
  return ExitStatusForRemoval(RemoveDriveHolder(argument, letter, names, settings, *tree, storage,
                                                preparation, prompter));
}

int RunListing(const SettingsRecord& settings, const SystemNames& names, bool utf8) {
  const std::unique_ptr<DeviceTree> tree = CreateDeviceTree();
  const auto lines = CommandLineNames(*tree, names, settings.m_nDeviceKind);
  const win32::StandardOutput output;
  if (output.IsConsole())
    return ExitStatusForListing(true, output.WriteText(FormatNameLines(lines)));
  const UINT codePage = utf8 ? CP_UTF8 : output.ReadersCodePage();
  const EncodedNames encoded = EncodeNameLines(
      lines, [codePage](std::wstring_view line) { return win32::EncodeExactly(line, codePage); });
  return ExitStatusForListing(encoded.complete, output.WriteBytes(encoded.bytes));
}
