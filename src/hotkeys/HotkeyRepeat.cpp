#include "hotkeys/HotkeyRepeat.h"

#include "common/WinValues.h"

unsigned NoRepeatModifiersFor(int majorVersion, int minorVersion) {
  const bool windows7OrLater = majorVersion > 6 || (majorVersion == 6 && minorVersion >= 1);
  return windows7OrLater ? winvalues::kModNoRepeat : 0;
}
