#include "ui/DeviceListModel.h"

#include "common/Prompter.h"
#include "common/WinValues.h"
#include "hotkeys/HotkeyCode.h"
#include "resources/resource.h"
#include "settings/SettingsFile.h"

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
          offered_.IsAllStorageEntry(row) ? names.allStorageLabel : record.name};
}

void DeviceListModel::Populate(DeviceTree& tree, std::uint32_t deviceKind,
                               const ClassImageList* images, const SettingsFile& file) {
  loadedDeviceKind_ = deviceKind;
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
  return {.release = HasNoHotkey(row), .remove = IsAllStorageRow(row)};
}

void DeviceListModel::Save(SettingsFile& file) const {
  SaveRegistrations(file, loadedDeviceKind_, *this);
}

void DeviceListModel::Changed(std::size_t row) {
  if (observer_) observer_->RowChanged(row);
}
