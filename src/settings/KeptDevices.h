// The devices kept out of the all-storage entry, as section KEEP stores them: one name
// a key, "001", "002", ... renumbered without gaps at every save, like section NAME.
#pragma once

#include <string>
#include <vector>

class SettingsFile;

inline constexpr wchar_t kKeepSection[] = L"KEEP";

// Entries "001" to "256" with a non-empty name, in number order.
std::vector<std::wstring> ReadKeptDevices(const SettingsFile& file);

// Replaces the whole section with `names`, numbered from "001".
void WriteKeptDevices(SettingsFile& file, const std::vector<std::wstring>& names);
