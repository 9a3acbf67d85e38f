#include "settings/KeptDevices.h"

#include "settings/RegistrationStore.h"
#include "settings/SettingsFile.h"

std::vector<std::wstring> ReadKeptDevices(const SettingsFile& file) {
  std::vector<std::wstring> names;
  // As with the registrations, a number edited out by hand does not end the scan.
  for (int number = 1; number <= kMaxRegistrationNumber; ++number) {
    std::wstring name = file.GetProfileString(kKeepSection, RegistrationKey(number));
    if (!name.empty()) names.push_back(std::move(name));
  }
  return names;
}

void WriteKeptDevices(SettingsFile& file, const std::vector<std::wstring>& names) {
  file.WriteProfileString(kKeepSection, std::nullopt, std::nullopt);
  int number = 1;
  for (const std::wstring& name : names)
    file.WriteProfileString(kKeepSection, RegistrationKey(number++), name);
}
