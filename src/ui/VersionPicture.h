// Which balloon picture the version page keeps for the running Windows version,
// and which two it destroys, in the order it destroys them.
#pragma once

#include <array>

struct VersionPictures {
  int kept;
  std::array<int, 2> destroyed;
  bool operator==(const VersionPictures&) const = default;
};

// Control ids of the pictures; versions as GetVersionExW reports them.
VersionPictures ChooseVersionPicture(unsigned major, unsigned minor);
