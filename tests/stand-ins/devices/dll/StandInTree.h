// The one device tree of the process that loaded the stand-in: read from the file that
// TOLLEVANE_DEVICE_TREE names (an empty tree, only the root, without it), logging eject
// requests to TOLLEVANE_EJECT_LOG. Every exported call takes the lock, as the system's
// Configuration Manager serialises its own requests.
#pragma once

#include <windows.h>

#include "SimulatedDeviceTree.h"

namespace stand_in {

class TreeAccess {
 public:
  TreeAccess();
  ~TreeAccess();
  TreeAccess(const TreeAccess&) = delete;
  TreeAccess& operator=(const TreeAccess&) = delete;

  SimulatedDeviceTree* operator->() const { return tree_; }
  SimulatedDeviceTree& operator*() const { return *tree_; }

 private:
  SimulatedDeviceTree* tree_;
};

// DllMain's halves: the lock lives from attach to detach.
void StartTree();
void EndTree();

}  // namespace stand_in
