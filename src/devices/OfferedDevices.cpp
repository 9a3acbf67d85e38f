#include "devices/OfferedDevices.h"

#include "pnp/DeviceNames.h"

std::optional<OfferedDevices::Placement> OfferedDevices::Offer(const tag_device_hotkey_info& record,
                                                               bool refresh) {
  // The mass-storage node stands behind the disk drive that is listed in its place, and
  // the generic hub is never something a user ejects by itself.
  if (names_.IsStorageName(record.name) || record.name == kGenericUsbHub) return std::nullopt;

  const std::optional<std::size_t> found = Find(record);
  if (!found) {
    entries_.push_back(record);
    return Placement{entries_.size() - 1, true};
  }
  tag_device_hotkey_info& target = entries_[*found];
  if (refresh) {
    target.present = record.present;
  } else {
    target.hotkey = record.hotkey;
    target.winkey = record.winkey;
    target.reject_times = record.reject_times;
    target.eject_on = record.eject_on;
  }
  return Placement{*found, false};
}

bool OfferedDevices::Remove(std::size_t index) {
  if (index >= entries_.size()) return false;
  entries_.erase(entries_.begin() + static_cast<std::ptrdiff_t>(index));
  return true;
}

std::optional<std::size_t> OfferedDevices::Find(const tag_device_hotkey_info& record) const {
  // The all-storage entry and a device of the same name are two entries, never merged.
  const bool allStorage = names_.IsAllStorageRecord(record);
  for (std::size_t i = 0; i < entries_.size(); ++i) {
    if (DeviceNamesEqual(entries_[i].name, record.name) &&
        names_.IsAllStorageRecord(entries_[i]) == allStorage)
      return i;
  }
  return std::nullopt;
}
