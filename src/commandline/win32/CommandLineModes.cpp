#include "commandline/win32/CommandLineModes.h"

#include <windows.h>

#include <optional>

#include "commandline/CommandLineDevices.h"
#include "commandline/CommandLineListing.h"
#include "commandline/DeviceListJson.h"
#include "commandline/DriveArgument.h"
#include "commandline/win32/RequestRunner.h"
#include "common/win32/MessageBoxPrompter.h"
#include "common/win32/StandardOutput.h"
#include "drives/win32/KernelDrives.h"
#include "pnp/win32/DeviceTreeFactory.h"

namespace {

// The plain forms of old: IDS_REMOVAL_FAILED shows when DISP_REJECT_ERR asks for it. No
// window exists in these modes: the box belongs to whatever is active.
int RunPlainRemoval(RemovalTarget target, const std::wstring& value, const std::wstring& typed,
                    const SettingsRecord& settings, const SystemNames& names) {
  MessageBoxPrompter prompter([] { return ::GetActiveWindow(); });
  RemovalRequest request;
  request.target = target;
  request.value = value;
  RequestRunner runner(request, typed, settings, names, prompter, nullptr);
  return TellRequestOutcome(runner.Once());
}

// Redirected without "/utf8", the text is ASCII with escapes: a script's reader decodes
// it alike in every code page, and no name is left out.
int WriteDevicesJson(DeviceTree& tree, KernelDrives& storage, const SettingsRecord& settings,
                     const SystemNames& names, bool utf8) {
  auto devices = CommandLineDevices(tree, names, settings.m_nDeviceKind, &storage, true);
  AddListedDrives(devices, tree, storage);
  const win32::StandardOutput output;
  if (output.IsConsole())
    return ExitStatusForListing(true, output.WriteText(FormatDevicesJson(devices, false)));
  const auto bytes = win32::EncodeExactly(FormatDevicesJson(devices, !utf8),
                                          utf8 ? CP_UTF8 : output.ReadersCodePage());
  return ExitStatusForListing(true, bytes && output.WriteBytes(*bytes));
}

}  // namespace

int RunRemovalByName(const std::wstring& name, const SettingsRecord& settings,
                     const SystemNames& names) {
  return RunPlainRemoval(RemovalTarget::Name, name, name, settings, names);
}

// Only an argument that names a drive comes here (StartupMode chose by it).
int RunRemovalByDrive(const std::wstring& argument, const SettingsRecord& settings,
                      const SystemNames& names) {
  const std::optional<std::wstring> drive = ParseDriveArgument(argument);
  return RunPlainRemoval(RemovalTarget::Drive, drive.value_or(L"?:"), argument, settings, names);
}

int RunListing(const SettingsRecord& settings, const SystemNames& names, bool utf8, bool json) {
  const std::unique_ptr<DeviceTree> tree = CreateDeviceTree();
  KernelDrives storage;
  if (json) return WriteDevicesJson(*tree, storage, settings, names, utf8);
  const auto lines = CommandLineNames(*tree, names, settings.m_nDeviceKind, &storage);
  const win32::StandardOutput output;
  if (output.IsConsole())
    return ExitStatusForListing(true, output.WriteText(FormatNameLines(lines)));
  const UINT codePage = utf8 ? CP_UTF8 : output.ReadersCodePage();
  const EncodedNames encoded = EncodeNameLines(
      lines, [codePage](std::wstring_view line) { return win32::EncodeExactly(line, codePage); });
  return ExitStatusForListing(encoded.complete, output.WriteBytes(encoded.bytes));
}
