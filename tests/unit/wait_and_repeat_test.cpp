#include <gtest/gtest.h>

#include <cstdint>

#include "common/WaitDeadline.h"
#include "hotkeys/HotkeyRepeat.h"

TEST(WaitDeadline, RemainingTimeShrinksToZeroAlsoAcrossTheTickWrap) {
  struct Case {
    std::uint32_t start, now, timeout, remaining;
  };
  const Case cases[] = {
      {1000, 1000, 2500, 2500},
      {1000, 2000, 2500, 1500},
      {1000, 3500, 2500, 0},
      {1000, 9000, 2500, 0},
      {0xFFFFFF00u, 0xFFFFFF00u + 1000, 2500, 1500},
      {0xFFFFFF00u, 0x00000200u, 2500, 2500 - 0x300},  // the tick wrapped meanwhile
      {0xFFFFFF00u, 0x00001000u, 2500, 0},
      {5, 5, 0, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(RemainingWaitMs(c.start, c.now, c.timeout), c.remaining) << c.start << " " << c.now;
  }
  EXPECT_EQ(RemainingWaitMs(1000, 0xFFFFFFF0u, kWaitForever), kWaitForever);
}

TEST(HotkeyRepeat, NoRepeatFromWindows7On) {
  struct Case {
    int major, minor;
    unsigned extra;
  };
  const Case cases[] = {{5, 0, 0}, {5, 1, 0}, {5, 2, 0}, {6, 0, 0},
                        {6, 1, 0x4000}, {6, 3, 0x4000}, {10, 0, 0x4000}};
  for (const Case& c : cases) {
    EXPECT_EQ(NoRepeatModifiersFor(c.major, c.minor), c.extra) << c.major << "." << c.minor;
  }
}
