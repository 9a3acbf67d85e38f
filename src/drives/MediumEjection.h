// Taking the medium out of a drive that stays: the card out of a reader's slot, where
// removing the reader would take every slot away, and a reader inside the case would
// stay dead until a restart.
#pragma once

#include <cstdint>
#include <functional>

#include "drives/Drives.h"

enum class MediumOutcome {
  Ejected,
  NoMedium,  // no such drive, not one whose medium comes out, or an empty slot
  InUse,     // the lock was refused: files are open on it
  Failed,
};

struct MediumResult {
  MediumOutcome outcome = MediumOutcome::NoMedium;
  std::uint32_t error = 0;  // the system's error code of the step that failed
  bool operator==(const MediumResult&) const = default;
};

// Waits `ms` between two tries of a refused lock; false when the removal is to stop.
using LockRetryPause = std::function<bool(std::uint32_t ms)>;

// A removable-type drive other than a floppy, which has nothing to eject.
bool HasRemovableMedium(Drives& storage, wchar_t letter);

// Locks the volume, dismounts it, lets the medium go and ejects it, in that order; the
// first step that fails ends it, and closing the volume undoes the lock. A lock refused
// for open files is tried again for about two seconds through `pause` (none: once): the
// indexer or virus scanner that holds the volume closes its handle when told of the lock.
MediumResult EjectMedium(Drives& storage, wchar_t letter, const LockRetryPause& pause = {});
