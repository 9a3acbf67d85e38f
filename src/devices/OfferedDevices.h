// Which listed devices are offered by name, to the user on the device list page and to
// scripts by "/list": one entry per display name, without the storage description and
// the generic hub, the all-storage entry apart from a device of the same name.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "devices/DeviceEnumeration.h"
#include "pnp/SystemNames.h"
#include "settings/DeviceHotkeyInfo.h"

inline constexpr std::wstring_view kGenericUsbHub = L"汎用 USB ハブ";

class OfferedDevices final : public DeviceListSink {
 public:
  explicit OfferedDevices(SystemNames names) : names_(std::move(names)) {}

  struct Placement {
    std::size_t index;
    bool added;  // false: merged into the entry of the same name
  };

  // A new name is appended. A known one keeps its entry: `refresh` takes the presence
  // of `record`, otherwise its hotkey, Windows-key flag and count. Nothing when the
  // record is not offered at all.
  std::optional<Placement> Offer(const tag_device_hotkey_info& record, bool refresh);
  void AddOrUpdateRow(const tag_device_hotkey_info& record, bool refresh) override {
    Offer(record, refresh);
  }

  std::size_t Count() const { return entries_.size(); }
  const tag_device_hotkey_info& At(std::size_t index) const { return entries_.at(index); }
  tag_device_hotkey_info& At(std::size_t index) { return entries_.at(index); }
  bool Remove(std::size_t index);
  bool IsAllStorageEntry(std::size_t index) const {
    return index < entries_.size() && names_.IsAllStorageRecord(entries_[index]);
  }
  const SystemNames& Names() const { return names_; }

 private:
  std::optional<std::size_t> Find(const tag_device_hotkey_info& record) const;

  SystemNames names_;
  std::vector<tag_device_hotkey_info> entries_;
};
