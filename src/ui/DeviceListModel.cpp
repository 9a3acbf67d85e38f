#include "ui/DeviceListModel.h"

#include "common/Prompter.h"
#include "common/WinValues.h"
#include "devices/DeviceNames.h"
#include "devices/StorageDesc.h"
#include "hotkeys/HotkeyCode.h"
#include "resources/resource.h"
#include "settings/SettingsFile.h"

DeviceListModel::DeviceListModel(unsigned majorVersion)
    : storageDesc_(StorageDescFor(majorVersion)),
      allStorageName_(AllStorageNameFor(majorVersion)) {}

int DeviceListModel::AddOrUpdateRow(const tag_device_hotkey_info& record, bool refresh) {
  // The mass-storage node stands behind the disk drive that is listed in its place, and
  // the generic hub is never something a user ejects by itself.
  if (record.name == storageDesc_ || record.name == kGenericUsbHub) return -1;

  const std::optional<std::size_t> found = FindRow(record);
  if (!found) {
    DeviceListRow row;
    row.record = record;
    SetTexts(row);
    rows_.push_back(std::move(row));
    const std::size_t index = rows_.size() - 1;
    if (observer_) observer_->RowInserted(index);
    return static_cast<int>(index);
  }

  tag_device_hotkey_info& target = rows_[*found].record;
  if (refresh) {
    target.present = record.present;
  } else {
    target.hotkey = record.hotkey;
    target.winkey = record.winkey;
    target.reject_times = record.reject_times;
  }
  SetTexts(rows_[*found]);
  Changed(*found);
  return static_cast<int>(*found);
}

void DeviceListModel::Populate(DeviceTree& tree, std::uint32_t deviceKind,
                               const ClassImageList* images, const SettingsFile& file) {
  loadedDeviceKind_ = deviceKind;
  DeviceEnumeration(tree, deviceKind, images, sink_).EnumerateDevices(false);
  LoadRegistrationsToList(file, deviceKind, *this);
}

void DeviceListModel::UpdateDevices(DeviceTree& tree, std::uint32_t deviceKind,
                                    const ClassImageList* images) {
  MarkAllAbsent();
  DeviceEnumeration(tree, deviceKind, images, sink_).EnumerateDevices(true);
}

void DeviceListModel::MarkAllAbsent() {
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    rows_[i].record.present = 0;
    Changed(i);
  }
}

SetHotkeyResult DeviceListModel::SetHotkey(std::size_t row, std::uint32_t code, bool winkey,
                                           Prompter& prompter) {
  if (row >= rows_.size()) return SetHotkeyResult::NoRow;
  if (code != 0) {
    // The Windows key is not compared: two rows differing only in it would still be
    // one combination too many for the user to tell apart.
    for (std::size_t other = 0; other < rows_.size(); ++other) {
      if (other == row || rows_[other].record.hotkey != code) continue;
      prompter.Show(IDS_HOTKEY_TAKEN_ROW, std::nullopt, IDS_ERROR_CAPTION,
                    winvalues::kMbOk | winvalues::kMbIconError);
      return SetHotkeyResult::HeldByOtherRow;
    }
  }
  DeviceListRow& target = rows_[row];
  target.record.hotkey = code;
  target.record.winkey = winkey ? 1 : 0;
  SetTexts(target);
  Changed(row);
  return SetHotkeyResult::Stored;
}

bool DeviceListModel::ReleaseHotkey(std::size_t row) {
  if (row >= rows_.size()) return false;
  rows_[row].record.hotkey = 0;
  rows_[row].record.winkey = 0;
  SetTexts(rows_[row]);
  Changed(row);
  return true;
}

bool DeviceListModel::DeleteRow(std::size_t row) {
  if (row >= rows_.size()) return false;
  rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(row));
  if (observer_) observer_->RowRemoved(row);
  return true;
}

bool DeviceListModel::IsAllStorageRow(std::size_t row) const {
  return row < rows_.size() && IsAllStorageRecord(rows_[row].record, allStorageName_);
}

bool DeviceListModel::HasNoHotkey(std::size_t row) const {
  return row < rows_.size() && rows_[row].hotkeyText == kNoHotkeyText;
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
  return {.release = HasNoHotkey(row), .remove = IsAllStorageRow(row)};
}

void DeviceListModel::Save(SettingsFile& file) const {
  SaveRegistrations(file, loadedDeviceKind_, *this);
}

std::optional<std::size_t> DeviceListModel::FindRow(const tag_device_hotkey_info& record) const {
  // The all-storage row and a device of the same name are two rows, never merged.
  const bool allStorage = IsAllStorageRecord(record, allStorageName_);
  for (std::size_t i = 0; i < rows_.size(); ++i) {
    if (DeviceNamesEqual(rows_[i].Text(), record.name) &&
        IsAllStorageRecord(rows_[i].record, allStorageName_) == allStorage)
      return i;
  }
  return std::nullopt;
}

void DeviceListModel::SetTexts(DeviceListRow& row) const {
  row.hotkeyText = HotkeyToText(row.record.hotkey, row.record.winkey != 0);
  row.countText = std::to_wstring(row.record.reject_times);
}

void DeviceListModel::Changed(std::size_t row) {
  if (observer_) observer_->RowChanged(row);
}
