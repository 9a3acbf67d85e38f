// Drives named by what a backup script knows of them: the volume's label, or the
// folder where the volume is mounted.
#pragma once

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "drives/Drives.h"

// The longest label a Windows file system keeps (NTFS; FAT keeps 11). A longer one
// names no volume.
inline constexpr std::size_t kMaxVolumeLabel = 32;

// Labels compare as Windows compares them: without case. Folded here are the Latin
// letters a label can hold, full-width ones included, and the accented Latin-1 letters.
bool VolumeLabelsEqual(std::wstring_view a, std::wstring_view b);

// Every drive from A to Z whose volume carries `label`, in letter order. Network drives
// are not asked: no removable device of this machine holds them.
std::vector<wchar_t> DrivesLabelled(Drives& storage, std::wstring_view label);

// The drive letter of the volume mounted at `folder` ("C:\mnt\backup", with or without
// its last backslash); nothing when no volume is mounted there or the volume has no
// letter.
std::optional<wchar_t> DriveOfMountFolder(Drives& storage, std::wstring_view folder);

// Whether an argument is a folder path rather than a name: a drive, a colon, a
// backslash and more ("E:\" alone is the drive).
bool LooksLikeMountFolder(std::wstring_view argument);
