// What one removal asked of the system, which its exit status and its count are read from.
#pragma once

// Every eject request, and those that succeeded.
struct RemovalTally {
  unsigned requests = 0;
  unsigned successes = 0;
  bool operator==(const RemovalTally&) const = default;
};
