// The card-reader slots, each offered as its own device: taking the card out leaves the
// reader and its other slots in place.
#pragma once

#include <string>
#include <vector>

#include "drives/Drives.h"
#include "pnp/DeviceTree.h"

struct CardSlot {
  DevNode disk = 0;
  wchar_t letter = 0;
  bool operator==(const CardSlot&) const = default;
};

// The slots that have a drive letter, in letter order: a disk whose medium comes out and
// that is inside the case (no removable node above it) or one of the several slots of a
// removable reader. A stick with one disk is no slot: the stick itself goes.
std::vector<CardSlot> FindCardSlots(DeviceTree& tree, Drives& storage);

// The card as a person knows it: the disk that shows it in its slot, and its drive
// ("SDXC Card (D:)"); the drive alone where no disk holds it.
std::wstring CardName(DeviceTree& tree, Drives& storage, wchar_t letter);
