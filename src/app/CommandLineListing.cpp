#include "app/CommandLineListing.h"

#include "devices/StorageDesc.h"
#include "ui/DeviceListModel.h"

std::vector<std::wstring> CommandLineNames(DeviceTree& tree, unsigned majorVersion,
                                           std::uint32_t deviceKind) {
  SelectStorageDesc(majorVersion);
  DeviceListModel model(majorVersion);
  model.UpdateDevices(tree, deviceKind, nullptr);

  std::vector<std::wstring> names{g_strStorageDesc};
  for (std::size_t row = 0; row < model.RowCount(); ++row) {
    // The page's all-storage row is its own label; the command line knows that entry
    // by the storage description, already first.
    if (model.IsAllStorageRow(row)) continue;
    names.push_back(model.RowText(row));
  }
  return names;
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
