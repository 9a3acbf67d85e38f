#include "ui/DeviceListModel.h"

#include <algorithm>

#include "common/Prompter.h"
#include "common/WinValues.h"
#include "hotkeys/HotkeyCode.h"
#include "pnp/DeviceNames.h"
#include "resources/resource.h"
#include "settings/KeptDevices.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsRecord.h"

namespace {

std::vector<std::wstring>::const_iterator FindName(const std::vector<std::wstring>& names,
                                                   const std::wstring& name) {
  return std::find_if(names.begin(), names.end(),
                      [&](const std::wstring& each) { return DeviceNamesEqual(each, name); });
}

bool HasName(const std::vector<std::wstring>& names, const std::wstring& name) {
  return FindName(names, name) != names.end();
}

}  // namespace

int DeviceListModel::AddOrUpdateRow(const tag_device_hotkey_info& record, bool refresh) {
  const auto placed = offered_.Offer(record, refresh);
  if (!placed) return -1;
  if (!placed->added) {
    Changed(placed->index);
  } else if (observer_) {
    observer_->RowInserted(placed->index);
  }
  return static_cast<int>(placed->index);
}

DeviceListRow DeviceListModel::Row(std::size_t row) const {
  const tag_device_hotkey_info& record = offered_.At(row);
  const SystemNames& names = offered_.Names();
  return {record, HotkeyToText(record.hotkey, record.winkey != 0, names.language),
          std::to_wstring(record.reject_times),
          offered_.IsAllStorageEntry(row) ? names.allStorageLabel : record.name, IsKeptOut(row)};
}

void DeviceListModel::Populate(DeviceTree& tree, std::uint32_t deviceKind,
                               const ClassImageList* images, const SettingsFile& file) {
  loadedDeviceKind_ = deviceKind;
  keptOut_ = ReadKeptDevices(file);
  DeviceEnumeration(tree, deviceKind, offered_.Names(), images, sink_)
      .ListStorageFrom(storage_)
      .EnumerateDevices(false);
  LoadRegistrationsToList(file, deviceKind, *this);
}

void DeviceListModel::UpdateDevices(DeviceTree& tree, std::uint32_t deviceKind,
                                    const ClassImageList* images) {
  MarkAllAbsent();
  DeviceEnumeration(tree, deviceKind, offered_.Names(), images, sink_)
      .ListStorageFrom(storage_)
      .EnumerateDevices(true);
}

void DeviceListModel::MarkAllAbsent() {
  for (std::size_t i = 0; i < offered_.Count(); ++i) {
    offered_.At(i).present = 0;
    Changed(i);
  }
}

SetHotkeyResult DeviceListModel::SetHotkey(std::size_t row, std::uint32_t code, bool winkey,
                                           Prompter& prompter) {
  if (row >= offered_.Count()) return SetHotkeyResult::NoRow;
  if (code != 0) {
    // The Windows key is not compared: two rows differing only in it would still be
    // one combination too many for the user to tell apart.
    for (std::size_t other = 0; other < offered_.Count(); ++other) {
      if (other == row || offered_.At(other).hotkey != code) continue;
      prompter.Show(IDS_HOTKEY_TAKEN_ROW, std::nullopt, IDS_ERROR_CAPTION,
                    winvalues::kMbOk | winvalues::kMbIconError);
      return SetHotkeyResult::HeldByOtherRow;
    }
  }
  tag_device_hotkey_info& target = offered_.At(row);
  target.hotkey = code;
  target.winkey = winkey ? 1 : 0;
  Changed(row);
  return SetHotkeyResult::Stored;
}

bool DeviceListModel::ReleaseHotkey(std::size_t row) {
  if (row >= offered_.Count()) return false;
  offered_.At(row).hotkey = 0;
  offered_.At(row).winkey = 0;
  Changed(row);
  return true;
}

bool DeviceListModel::SetEjectMoments(std::size_t row, std::uint32_t moments) {
  if (row >= offered_.Count()) return false;
  offered_.At(row).eject_on = moments;
  Changed(row);
  return true;
}

bool DeviceListModel::DeleteRow(std::size_t row) {
  if (!offered_.Remove(row)) return false;
  if (observer_) observer_->RowRemoved(row);
  return true;
}

bool DeviceListModel::IsAllStorageRow(std::size_t row) const {
  return offered_.IsAllStorageEntry(row);
}

bool DeviceListModel::HasNoHotkey(std::size_t row) const {
  return row < offered_.Count() && offered_.At(row).hotkey == 0;
}

DeviceListButtons DeviceListModel::ButtonsFor(std::optional<std::size_t> selected) const {
  DeviceListButtons buttons;
  if (!HasRow(selected)) return buttons;
  buttons.set = true;
  buttons.release = !HasNoHotkey(*selected);
  buttons.remove = !IsAllStorageRow(*selected);
  return buttons;
}

DeviceListMenuGreying DeviceListModel::MenuFor(std::size_t row) const {
  return {.release = HasNoHotkey(row),
          .remove = IsAllStorageRow(row),
          .keepOut = !CanKeepOut(row),
          .keptOut = IsKeptOut(row)};
}

bool DeviceListModel::IsKeptOut(std::size_t row) const {
  return row < offered_.Count() && !IsAllStorageRow(row) &&
         HasName(keptOut_, offered_.At(row).name);
}

bool DeviceListModel::CanKeepOut(std::size_t row) const {
  if (row >= offered_.Count() || IsAllStorageRow(row)) return false;
  const tag_device_hotkey_info& record = offered_.At(row);
  return IsKeptOut(row) ||
         ((record.device_kind & kKindUsb) != 0 && HasName(usbStorage_, record.name));
}

bool DeviceListModel::ToggleKeepOut(std::size_t row) {
  if (!CanKeepOut(row)) return false;
  const std::wstring& name = offered_.At(row).name;
  if (const auto kept = FindName(keptOut_, name); kept != keptOut_.end())
    keptOut_.erase(kept);
  else
    keptOut_.push_back(name);
  Changed(row);
  return true;
}

void DeviceListModel::NoteUsbStorage(const std::wstring& name) {
  if (!HasName(usbStorage_, name)) usbStorage_.push_back(name);
}

void DeviceListModel::Save(SettingsFile& file) const {
  SaveRegistrations(file, loadedDeviceKind_, *this);
  // Without USB among the kinds the page could show no kept row: what is stored stays.
  if ((loadedDeviceKind_ & kKindUsb) == 0) return;
  // In list order, and only rows still on the list: a deleted row takes its keeping along.
  std::vector<std::wstring> kept;
  for (std::size_t row = 0; row < offered_.Count(); ++row)
    if (IsKeptOut(row)) kept.push_back(offered_.At(row).name);
  WriteKeptDevices(file, kept);
}

void DeviceListModel::Changed(std::size_t row) {
  if (observer_) observer_->RowChanged(row);
}
