// The device registrations as the settings file stores them: the numbered entries and
// the STORAGE entry, read in one pass and each written by one function.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "settings/DeviceHotkeyInfo.h"
#include "settings/EjectMoments.h"

class SettingsFile;

inline constexpr int kMaxRegistrationNumber = 256;
inline constexpr wchar_t kStorageKey[] = L"STORAGE";

// "%03d" of an entry number.
std::wstring RegistrationKey(int number);

struct StoredRegistrations {
  // Entries "001" to "256" that have a name and a hotkey value (a code of 0 included),
  // in number order, each with its key.
  std::vector<tag_device_hotkey_info> numbered;
  // The STORAGE entry when it has a hotkey value: code, Windows-key flag, count and
  // stored kind. Its name is left to the reader, which gives it the one it shows.
  std::optional<tag_device_hotkey_info> storage;
};

StoredRegistrations ReadRegistrations(const SettingsFile& file);

// Deletes the registration sections.
void ClearRegistrations(SettingsFile& file);

// Writes `record`'s name, hotkey code, Windows-key flag, kind, count and icon under `key`.
void WriteRegistration(SettingsFile& file, const std::wstring& key,
                       const tag_device_hotkey_info& record);

// Stores a registration's removal count under its entry key.
void WriteBackRemovalCount(SettingsFile& file, const tag_device_hotkey_info& record);
