#include "devices/CommandLineListing.h"

#include "devices/DeviceEnumeration.h"
#include "devices/OfferedDevices.h"

std::vector<std::wstring> CommandLineNames(DeviceTree& tree, const SystemNames& names,
                                           std::uint32_t deviceKind) {
  OfferedDevices offered(names);
  DeviceEnumeration(tree, deviceKind, names, nullptr, offered).EnumerateDevices(true);

  std::vector<std::wstring> lines{names.storageDesc};
  for (std::size_t index = 0; index < offered.Count(); ++index) {
    // The page's all-storage row is its own label; the command line knows that entry
    // by the storage description, already first.
    if (offered.IsAllStorageEntry(index)) continue;
    lines.push_back(offered.At(index).name);
  }
  return lines;
}

std::wstring FormatNameLines(const std::vector<std::wstring>& names) {
  std::wstring text;
  for (const std::wstring& name : names) {
    for (const wchar_t c : name) text += (c == L'\r' || c == L'\n') ? L' ' : c;
    text += L"\r\n";
  }
  return text;
}
