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

std::wstring FormatNameLines(const std::vector<std::wstring>& names) {
  std::wstring text;
  for (const std::wstring& name : names) {
    for (const wchar_t c : name) text += (c == L'\r' || c == L'\n') ? L' ' : c;
    text += L"\r\n";
  }
  return text;
}
