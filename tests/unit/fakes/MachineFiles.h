// The tree files of whole machines (tests/machines), as the unit tests read them.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "SimulatedDeviceTree.h"
#include "common/AsciiCase.h"

inline std::string MachineText(const std::string& name) {
  std::ifstream file(std::string(TOLLEVANE_MACHINES_DIR) + "/" + name, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}

// The one instance ID of the tree that holds `piece` (upper case), as CM_Get_Device_ID
// gives it; empty (and a failure) otherwise.
inline std::wstring IdHolding(SimulatedDeviceTree& tree, const std::wstring& piece) {
  std::vector<std::wstring> found;
  for (std::wstring id : tree.AllIds()) {
    for (wchar_t& c : id) c = UpperAscii(c);
    if (id.find(piece) != std::wstring::npos) found.push_back(id);
  }
  EXPECT_EQ(found.size(), 1u) << testing::PrintToString(piece);
  return found.size() == 1 ? found.front() : std::wstring();
}
