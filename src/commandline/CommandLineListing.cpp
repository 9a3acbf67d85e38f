#include "commandline/CommandLineListing.h"

#include "commandline/CommandLineDevices.h"

std::vector<std::wstring> CommandLineNames(DeviceTree& tree, const SystemNames& names,
                                           std::uint32_t deviceKind, Drives* storage) {
  std::vector<std::wstring> lines;
  for (ListedDevice& device : CommandLineDevices(tree, names, deviceKind, storage, false))
    lines.push_back(std::move(device.name));
  return lines;
}

std::wstring ListedName(std::wstring_view name) {
  std::wstring shown;
  for (const wchar_t c : name) shown += (c == L'\r' || c == L'\n') ? L' ' : c;
  return shown;
}

namespace {

std::wstring NameLine(const std::wstring& name) { return ListedName(name) + L"\r\n"; }

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
