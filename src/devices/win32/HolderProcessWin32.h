// The holder of a vetoed device as the system shows it: whether the veto message may
// offer to close it, and the close itself.
#pragma once

#include "devices/HolderClosing.h"

// Its session and its visible top-level windows, as they are now.
HolderProcessView ViewHolderProcess(const VetoHolder& holder);

// Asks the program to close and waits for its end (CloseHolder). A process id that now
// names another program is not asked: the holder has ended, and its id was given again.
HolderClose CloseHolderProcess(const VetoHolder& holder, const RemovalStop& stop);
