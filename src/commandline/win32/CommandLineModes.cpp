#include "commandline/win32/CommandLineModes.h"

#include <windows.h>

#include <optional>

#include "commandline/CommandLineListing.h"
#include "commandline/CommandLineRemoval.h"
#include "commandline/DriveArgument.h"
#include "commandline/EjectRecordingTree.h"
#include "commandline/RemovalReason.h"
#include "commandline/win32/CommandLineText.h"
#include "common/TextFormat.h"
#include "common/win32/MessageBoxPrompter.h"
#include "common/win32/ResourceStrings.h"
#include "common/win32/StandardOutput.h"
#include "devices/win32/ExplorerClosingWin32.h"
#include "devices/win32/KernelPnpEventLog.h"
#include "devices/win32/VetoHolderLookup.h"
#include "drives/win32/KernelDrives.h"
#include "pnp/win32/DeviceTreeFactory.h"

namespace {

// No window exists in these modes: a failure message belongs to whatever is active.
MessageBoxPrompter ActiveWindowPrompter() {
  return MessageBoxPrompter([] { return ::GetActiveWindow(); });
}

// The reason of a veto for whoever started the command line: its console, else its
// standard error. With neither it reaches nobody, and the exit status still tells.
CommandLineVetoes VetoesToStandardError(std::uint64_t removalStart) {
  return CommandLineVetoes{[removalStart](const VetoedRequest& vetoed) {
                             return LookUpVetoHolder(vetoed, removalStart);
                           },
                           [](const std::vector<PromptLine>& lines) {
                             WriteCommandLineText(
                                 win32::StandardStream::Error,
                                 JoinPromptLines(lines, &win32::LoadResourceString));
                           }};
}

// The exit status, after the reason when nothing went.
int TellWhyNot(int status, RemovalTarget target, std::wstring_view argument, bool placeFound,
               const EjectRecordingTree& tree) {
  if (status != 0) {
    if (const auto reason = RemovalFailureReason(target, argument, placeFound, tree.Answers()))
      TellCommandLineReason(*reason);
  }
  return status;
}

}  // namespace

int RunRemovalByName(const std::wstring& name, const SettingsRecord& settings,
                     const SystemNames& names) {
  const std::unique_ptr<DeviceTree> live = CreateDeviceTree();
  EjectRecordingTree tree(*live, EjectRecordingTree::Requests::Ask);
  KernelDrives storage;
  ExplorerClosingPreparation preparation(settings);
  MessageBoxPrompter prompter = ActiveWindowPrompter();
  const CommandLineVetoes vetoes = VetoesToStandardError(SystemTimeNow());
  const int status = ExitStatusForRemoval(
      RemoveDeviceByName(name, names, settings, tree, preparation, prompter, &vetoes, &storage));
  return TellWhyNot(status, RemovalTarget::Name, name, true, tree);
}

int RunRemovalByDrive(const std::wstring& argument, const SettingsRecord& settings,
                      const SystemNames& names) {
  const std::optional<std::wstring> drive = ParseDriveArgument(argument);
  const std::optional<wchar_t> letter = drive ? std::optional<wchar_t>((*drive)[0]) : std::nullopt;
  const std::unique_ptr<DeviceTree> live = CreateDeviceTree();
  EjectRecordingTree tree(*live, EjectRecordingTree::Requests::Ask);
  KernelDrives storage;
  ExplorerClosingPreparation preparation(settings);
  MessageBoxPrompter prompter = ActiveWindowPrompter();
  const CommandLineVetoes vetoes = VetoesToStandardError(SystemTimeNow());
  const int status = ExitStatusForRemoval(RemoveDriveHolder(
      argument, letter, names, settings, tree, storage, preparation, prompter, &vetoes));
  const bool driveExists = letter && storage.DriveType(*letter) != winvalues::kDriveNoRootDir;
  return TellWhyNot(status, RemovalTarget::Drive, argument, driveExists, tree);
}

int RunListing(const SettingsRecord& settings, const SystemNames& names, bool utf8) {
  const std::unique_ptr<DeviceTree> tree = CreateDeviceTree();
  KernelDrives storage;
  const auto lines = CommandLineNames(*tree, names, settings.m_nDeviceKind, &storage);
  const win32::StandardOutput output;
  if (output.IsConsole())
    return ExitStatusForListing(true, output.WriteText(FormatNameLines(lines)));
  const UINT codePage = utf8 ? CP_UTF8 : output.ReadersCodePage();
  const EncodedNames encoded = EncodeNameLines(
      lines, [codePage](std::wstring_view line) { return win32::EncodeExactly(line, codePage); });
  return ExitStatusForListing(encoded.complete, output.WriteBytes(encoded.bytes));
}
