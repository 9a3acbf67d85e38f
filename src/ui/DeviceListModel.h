// The device list page's rows and rules: one row per display name in list order, with
// the texts the list view shows, the merging of listed devices and stored
// registrations, hotkey conflicts between rows, and which commands are available.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "devices/DeviceEnumeration.h"
#include "devices/OfferedDevices.h"
#include "pnp/SystemNames.h"
#include "settings/DeviceHotkeyInfo.h"
#include "ui/DeviceListRegistrations.h"

class Prompter;
class SettingsFile;

struct DeviceListRow {
  tag_device_hotkey_info record;
  std::wstring hotkeyText;  // column 1
  std::wstring countText;   // column 2
  // Column 0: the device's name, or the all-storage entry's label in the chosen language.
  std::wstring text;
  // Kept out of the all-storage entry; the page marks it after the name.
  bool keptOut = false;

  const std::wstring& Text() const { return text; }
  bool IsPresent() const { return (record.present & 1) != 0; }
};

// Told of every change so that a list view can follow the rows one by one.
class DeviceListObserver {
 public:
  virtual ~DeviceListObserver() = default;
  virtual void RowInserted(std::size_t row) = 0;
  // Texts, record or presence of the row changed.
  virtual void RowChanged(std::size_t row) = 0;
  // Called after the row has left the model; indices behind it have moved up.
  virtual void RowRemoved(std::size_t row) = 0;
};

struct DeviceListButtons {
  bool set = false;
  bool release = false;
  bool remove = false;
  bool update = true;
  bool operator==(const DeviceListButtons&) const = default;
};

struct DeviceListMenuGreying {
  bool release = false;
  bool remove = false;
  // Only a USB mass-storage row can be kept out of the all-storage entry, and a kept row
  // can always be let back in.
  bool keepOut = true;
  bool keptOut = false;  // checked
  bool operator==(const DeviceListMenuGreying&) const = default;
};

enum class SetHotkeyResult { Stored, HeldByOtherRow, NoRow };

class DeviceListModel final : public RegistrationRows {
 public:
  explicit DeviceListModel(const SystemNames& names) : offered_(names) {}

  DeviceListModel(const DeviceListModel&) = delete;
  DeviceListModel& operator=(const DeviceListModel&) = delete;

  void SetObserver(DeviceListObserver* observer) { observer_ = observer; }
  // Where the card slots and hot-plug disks are found; must outlive the model.
  void ListStorageFrom(Drives* storage) { storage_ = storage; }

  const std::wstring& AllStorageName() const override { return offered_.Names().allStorageName; }

  // The row that OfferedDevices gives the record, or -1 when it offers none.
  int AddOrUpdateRow(const tag_device_hotkey_info& record, bool refresh) override;

  std::size_t RowCount() const override { return offered_.Count(); }
  std::wstring RowText(std::size_t row) const override { return offered_.At(row).name; }
  tag_device_hotkey_info RowRecord(std::size_t row) const override { return offered_.At(row); }
  std::int32_t RowImage(std::size_t row) const override { return offered_.At(row).image; }
  // The row with the texts its columns show.
  DeviceListRow Row(std::size_t row) const;
  bool HasRow(std::optional<std::size_t> row) const { return row && *row < offered_.Count(); }

  // The page's first filling: the present devices of `deviceKind`, then the stored
  // registrations of those kinds merged in or appended.
  void Populate(DeviceTree& tree, std::uint32_t deviceKind, const ClassImageList* images,
                const SettingsFile& file);
  // Every row absent, then the present devices of `deviceKind` marked present or
  // appended. No row goes, and hotkeys and counts stay.
  void UpdateDevices(DeviceTree& tree, std::uint32_t deviceKind, const ClassImageList* images);
  void MarkAllAbsent();

  // Gives `row` a new hotkey unless another row holds the same code (all 32 bits; the
  // Windows-key flag does not count), which is refused with IDS_HOTKEY_TAKEN_ROW.
  SetHotkeyResult SetHotkey(std::size_t row, std::uint32_t code, bool winkey, Prompter& prompter);
  bool ReleaseHotkey(std::size_t row);
  // The moments at which the row's device is removed besides its hotkey (EjectMoment bits).
  bool SetEjectMoments(std::size_t row, std::uint32_t moments);
  bool DeleteRow(std::size_t row);

  bool IsAllStorageRow(std::size_t row) const;
  bool IsKeptOut(std::size_t row) const;
  bool CanKeepOut(std::size_t row) const;
  // Keeps the row's device out of the all-storage entry, or lets it back in.
  bool ToggleKeepOut(std::size_t row);
  bool HasNoHotkey(std::size_t row) const;
  DeviceListButtons ButtonsFor(std::optional<std::size_t> selected) const;
  DeviceListMenuGreying MenuFor(std::size_t row) const;

  // Rewrites the registrations and the kept-out devices from the rows. Stored registrations are
  // judged hidden by the kinds the rows were loaded under, so a kind filter changed while the page
  // is open neither duplicates nor drops them.
  void Save(SettingsFile& file) const;

 private:
  class ListingSink final : public DeviceListSink {
   public:
    explicit ListingSink(DeviceListModel& model) : model_(model) {}
    void AddOrUpdateRow(const tag_device_hotkey_info& record, bool refresh) override {
      model_.AddOrUpdateRow(record, refresh);
    }
    bool WantsUsbStorage() const override { return true; }
    void UsbStorageListed(const std::wstring& name) override { model_.NoteUsbStorage(name); }

   private:
    DeviceListModel& model_;
  };

  void Changed(std::size_t row);
  void NoteUsbStorage(const std::wstring& name);

  OfferedDevices offered_;
  std::uint32_t loadedDeviceKind_ = 0;
  DeviceListObserver* observer_ = nullptr;
  Drives* storage_ = nullptr;
  // Names, as the rows carry them: the devices kept out, and those seen listed as USB mass
  // storage since the page opened (an unplugged stick stays one).
  std::vector<std::wstring> keptOut_;
  std::vector<std::wstring> usbStorage_;
  ListingSink sink_{*this};
};
