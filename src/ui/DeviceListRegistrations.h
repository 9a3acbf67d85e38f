// The device list page's share of the stored registrations: merging them into the
// page's rows when it opens, and rewriting them all from the rows on OK.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "settings/DeviceHotkeyInfo.h"

class SettingsFile;

// The device list page as the load and save of registrations see it.
class RegistrationRows {
 public:
  virtual ~RegistrationRows() = default;
  virtual const std::wstring& AllStorageName() const = 0;
  virtual int AddOrUpdateRow(const tag_device_hotkey_info& record, bool refresh) = 0;
  virtual std::size_t RowCount() const = 0;
  virtual std::wstring RowText(std::size_t row) const = 0;  // column 0
  virtual tag_device_hotkey_info RowRecord(std::size_t row) const = 0;
  virtual std::int32_t RowImage(std::size_t row) const = 0;  // icon the row shows
};

void LoadRegistrationsToList(const SettingsFile& file, std::uint32_t deviceKind,
                             RegistrationRows& rows);
// Rewrites every registration section from the rows. Stored registrations that the
// page could not list because `deviceKind` hides them are carried over unchanged.
void SaveRegistrations(SettingsFile& file, std::uint32_t deviceKind, const RegistrationRows& rows);
