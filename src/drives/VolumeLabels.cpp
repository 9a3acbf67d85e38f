#include "drives/VolumeLabels.h"

#include <string>

#include "common/WinValues.h"

namespace {

wchar_t FoldLabelCase(wchar_t c) {
  if (c >= L'a' && c <= L'z') return static_cast<wchar_t>(c - L'a' + L'A');
  // Full-width a-z, which a Japanese input method types readily.
  if (c >= 0xFF41 && c <= 0xFF5A) return static_cast<wchar_t>(c - 0xFF41 + 0xFF21);
  // Latin-1 small letters à-þ fold to À-Þ; ÷ (0xF7) sits among them and is no letter.
  if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return static_cast<wchar_t>(c - 0x20);
  return c;
}

bool HoldsLocalVolume(Drives& storage, wchar_t letter) {
  switch (storage.DriveType(letter)) {
    case winvalues::kDriveRemovable:
    case winvalues::kDriveFixed:
    case winvalues::kDriveCdrom:
      return true;
    default:
      return false;
  }
}

std::wstring RootOf(wchar_t letter) { return std::wstring{letter, L':', L'\\'}; }

}  // namespace

bool VolumeLabelsEqual(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (FoldLabelCase(a[i]) != FoldLabelCase(b[i])) return false;
  return true;
}

std::vector<wchar_t> DrivesLabelled(Drives& storage, std::wstring_view label) {
  std::vector<wchar_t> drives;
  for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
    if (!HoldsLocalVolume(storage, letter)) continue;
    const std::optional<std::wstring> own = storage.VolumeLabel(letter);
    if (own && VolumeLabelsEqual(*own, label)) drives.push_back(letter);
  }
  return drives;
}

std::optional<wchar_t> DriveOfMountFolder(Drives& storage, std::wstring_view folder) {
  std::wstring path(folder);
  if (path.empty() || path.back() != L'\\') path.push_back(L'\\');
  const std::optional<std::wstring> volume = storage.MountedVolume(path);
  if (!volume) return std::nullopt;
  for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
    if (!HoldsLocalVolume(storage, letter)) continue;
    if (storage.MountedVolume(RootOf(letter)) == volume) return letter;
  }
  return std::nullopt;
}

bool LooksLikeMountFolder(std::wstring_view argument) {
  if (argument.size() <= 3 || argument[1] != L':' || argument[2] != L'\\') return false;
  const wchar_t letter = argument[0];
  return (letter >= L'A' && letter <= L'Z') || (letter >= L'a' && letter <= L'z');
}
