// Whether a held hotkey combination repeats: the program's own hotkeys must not,
// since every repeat would start another removal. Windows 7 (6.1) is the first
// system that takes MOD_NOREPEAT; older ones refuse the registration with it.
#pragma once

// The modifier bits to add to every hotkey the main window registers.
unsigned NoRepeatModifiersFor(int majorVersion, int minorVersion);
