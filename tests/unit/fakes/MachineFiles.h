// The tree files of whole machines (tests/machines), as the unit tests read them.
#pragma once

#include <fstream>
#include <sstream>
#include <string>

inline std::string MachineText(const std::string& name) {
  std::ifstream file(std::string(TOLLEVANE_MACHINES_DIR) + "/" + name, std::ios::binary);
  std::ostringstream text;
  text << file.rdbuf();
  return text.str();
}
