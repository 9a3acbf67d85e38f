#include "app/win32/CommandLineModes.h"

#include <windows.h>

#include <optional>

#include "app/DriveArgument.h"
#include "app/StartupMode.h"
#include "common/TextFormat.h"
#include "common/win32/MessageBoxPrompter.h"
#include "common/win32/ResourceStrings.h"
#include "common/win32/StandardOutput.h"
#include "devices/CommandLineListing.h"
#include "devices/CommandLineRemoval.h"
#include "devices/win32/DeviceTreeFactory.h"
#include "devices/win32/KernelDriveStorage.h"
#include "devices/win32/KernelPnpEventLog.h"
#include "devices/win32/VetoHolderLookup.h"
#include "resident/win32/ExplorerClosingWin32.h"

namespace {

// No window exists in these modes: a failure message belongs to whatever is active.
MessageBoxPrompter ActiveWindowPrompter() {
  return MessageBoxPrompter([] { return ::GetActiveWindow(); });
}

// The reason of a veto for whoever started the command line: its console, else its
// standard error. With neither it reaches nobody, and the exit status still tells.
CommandLineVetoes VetoesToStandardError(std::uint64_t removalStart) {
  return CommandLineVetoes{
      [removalStart](const VetoedRequest& vetoed) { return LookUpVetoHolder(vetoed, removalStart); },
      [](const std::vector<PromptLine>& lines) {
        const std::wstring text = JoinPromptLines(lines, &win32::LoadResourceString) + L"\n";
        const win32::StandardOutput error(win32::StandardStream::Error);
        // In the code page the listing uses, so that a script reads both alike.
        error.WriteForReader(text, error.ReadersCodePage());
      }};
}

}  // namespace

int RunRemovalByName(const std::wstring& name, const SettingsRecord& settings,
                     const SystemNames& names) {
  const std::unique_ptr<DeviceTree> tree = CreateDeviceTree();
  KernelDriveStorage storage;
  ExplorerClosingPreparation preparation(settings);
  MessageBoxPrompter prompter = ActiveWindowPrompter();
  const CommandLineVetoes vetoes = VetoesToStandardError(SystemTimeNow());
  return ExitStatusForRemoval(
      RemoveDeviceByName(name, names, settings, *tree, preparation, prompter, &vetoes, &storage));
}

namespace {

using DriveRemoval = RemovalTally (*)(std::wstring_view, std::optional<wchar_t>, const SystemNames&,
                                      const SettingsRecord&, DeviceTree&, DriveStorage&,
                                      StorageEjectPreparation&, Prompter&, const CommandLineVetoes*);

int RunDriveRemoval(DriveRemoval removal, const std::wstring& argument,
                    const SettingsRecord& settings, const SystemNames& names) {
  const std::optional<std::wstring> drive = ParseDriveArgument(argument);
  const std::optional<wchar_t> letter = drive ? std::optional<wchar_t>((*drive)[0]) : std::nullopt;
  const std::unique_ptr<DeviceTree> tree = CreateDeviceTree();
  KernelDriveStorage storage;
  ExplorerClosingPreparation preparation(settings);
  MessageBoxPrompter prompter = ActiveWindowPrompter();
  const CommandLineVetoes vetoes = VetoesToStandardError(SystemTimeNow());
  return ExitStatusForRemoval(
      removal(argument, letter, names, settings, *tree, storage, preparation, prompter, &vetoes));
}

}  // namespace

int RunRemovalByDrive(const std::wstring& argument, const SettingsRecord& settings,
                      const SystemNames& names) {
  return RunDriveRemoval(&RemoveDriveHolder, argument, settings, names);
}

int RunCardEjection(const std::wstring& argument, const SettingsRecord& settings,
                    const SystemNames& names) {
  return RunDriveRemoval(&RemoveCard, argument, settings, names);
}

int RunListing(const SettingsRecord& settings, const SystemNames& names, bool utf8) {
  const std::unique_ptr<DeviceTree> tree = CreateDeviceTree();
  KernelDriveStorage storage;
  const auto lines = CommandLineNames(*tree, names, settings.m_nDeviceKind, &storage);
  const win32::StandardOutput output;
  if (output.IsConsole())
    return ExitStatusForListing(true, output.WriteText(FormatNameLines(lines)));
  const UINT codePage = utf8 ? CP_UTF8 : output.ReadersCodePage();
  const EncodedNames encoded = EncodeNameLines(
      lines, [codePage](std::wstring_view line) { return win32::EncodeExactly(line, codePage); });
  return ExitStatusForListing(encoded.complete, output.WriteBytes(encoded.bytes));
}
