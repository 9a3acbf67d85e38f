#include "commandline/CommandLineListing.h"

#include "devices/DeviceEnumeration.h"
#include "devices/OfferedDevices.h"

std::vector<std::wstring> CommandLineNames(DeviceTree& tree, const SystemNames& names,
                                           std::uint32_t deviceKind, Drives* storage) {
  OfferedDevices offered(names);
  DeviceEnumeration(tree, deviceKind, names, nullptr, offered)
      .ListStorageFrom(storage)
      .EnumerateDevices(true);

  std::vector<std::wstring> lines{names.storageDesc};
  for (std::size_t index = 0; index < offered.Count(); ++index) {
    // The page's all-storage row is its own label; the command line knows that entry
    // by the storage description, already first.
    if (offered.IsAllStorageEntry(index)) continue;
    lines.push_back(offered.At(index).name);
  }
  return lines;
}

namespace {

std::wstring NameLine(const std::wstring& name) {
  std::wstring line;
  for (const wchar_t c : name) line += (c == L'\r' || c == L'\n') ? L' ' : c;
  return line + L"\r\n";
}

}  // namespace

std::wstring FormatNameLines(const std::vector<std::wstring>& names) {
  std::wstring text;
  for (const std::wstring& name : names) text += NameLine(name);
  return text;
}

EncodedNames EncodeNameLines(const std::vector<std::wstring>& names, const LineEncoder& encode) {
  EncodedNames encoded;
  for (const std::wstring& name : names) {
    const std::optional<std::string> line = encode(NameLine(name));
    if (line)
      encoded.bytes += *line;
    else
      encoded.complete = false;
  }
  return encoded;
}

int ExitStatusForListing(bool complete, bool written) {
  if (!written) return 1;
  return complete ? 0 : 3;
}
