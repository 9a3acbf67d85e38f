// Taking the medium out of a drive that stays: the card out of a reader's slot, where
// removing the reader would take every slot away, and a reader inside the case would
// stay dead until a restart.
#pragma once

#include "drives/Drives.h"

enum class MediumOutcome {
  Ejected,
  NoMedium,  // no such drive, not one whose medium comes out, or an empty slot
  InUse,     // the lock was refused: files are open on it
  Failed,
};

// A removable-type drive other than a floppy, which has nothing to eject.
bool HasRemovableMedium(Drives& storage, wchar_t letter);

// Locks the volume, dismounts it, lets the medium go and ejects it, in that order; the
// first step that fails ends it, and closing the volume undoes the lock.
MediumOutcome EjectMedium(Drives& storage, wchar_t letter);
