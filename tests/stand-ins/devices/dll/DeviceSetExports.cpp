// Device information sets: a snapshot of the tree's nodes taken when the set is made,
// as SetupDiGetClassDevsW takes one of the system's devices.
#include <cstdint>
#include <set>
#include <vector>

#include "Exports.h"
#include "devices/win32/Guids.h"
#include "StandInTree.h"

namespace {

struct DeviceSet {
  std::vector<SP_DEVINFO_DATA> members;
};

// The sets handed out and not yet destroyed, so that a stale or foreign handle is told
// apart as the system tells it (ERROR_INVALID_HANDLE). Guarded by the tree's lock.
std::set<const DeviceSet*>& LiveSets() {
  static std::set<const DeviceSet*> sets;
  return sets;
}

// The tree holds only present devices (and the gone ones that once were), so
// DIGCF_PRESENT is what every set made here amounts to; a set of device interfaces or
// of a profile is a thing the tree cannot describe and comes out empty.
DeviceSet* Snapshot(SimulatedDeviceTree& tree, const GUID* classGuid, DWORD flags) {
  auto* set = new DeviceSet;
  if ((flags & (DIGCF_DEVICEINTERFACE | DIGCF_PROFILE)) != 0) return set;
  const bool allClasses = (flags & DIGCF_ALLCLASSES) != 0;
  for (const DevNode node : tree.PresentNodes()) {
    const auto nodeClass = tree.ClassOf(node);
    if (!allClasses && (!nodeClass || *nodeClass != FromGuid(*classGuid))) continue;
    SP_DEVINFO_DATA member{};
    member.cbSize = sizeof(member);
    member.ClassGuid = nodeClass ? ToGuid(*nodeClass) : GUID{};
    member.DevInst = node;
    set->members.push_back(member);
  }
  return set;
}

}  // namespace

STAND_IN_EXPORT HDEVINFO WINAPI SetupDiGetClassDevsW(const GUID* classGuid, PCWSTR /*enumerator*/,
                                                     HWND /*parent*/, DWORD flags) {
  if (classGuid == nullptr && (flags & DIGCF_ALLCLASSES) == 0) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  stand_in::TreeAccess tree;
  DeviceSet* set = Snapshot(*tree, classGuid, flags);
  LiveSets().insert(set);
  ::SetLastError(ERROR_SUCCESS);
  return set;
}

STAND_IN_EXPORT BOOL WINAPI SetupDiEnumDeviceInfo(HDEVINFO handle, DWORD index,
                                                  PSP_DEVINFO_DATA member) {
  stand_in::TreeAccess tree;
  const auto* set = static_cast<const DeviceSet*>(handle);
  if (LiveSets().count(set) == 0) {
    ::SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  if (member == nullptr || member->cbSize != sizeof(SP_DEVINFO_DATA)) {
    ::SetLastError(ERROR_INVALID_USER_BUFFER);
    return FALSE;
  }
  if (index >= set->members.size()) {
    ::SetLastError(ERROR_NO_MORE_ITEMS);
    return FALSE;
  }
  *member = set->members[index];
  ::SetLastError(ERROR_SUCCESS);
  return TRUE;
}

STAND_IN_EXPORT BOOL WINAPI SetupDiDestroyDeviceInfoList(HDEVINFO handle) {
  stand_in::TreeAccess tree;
  const auto* set = static_cast<const DeviceSet*>(handle);
  if (LiveSets().erase(set) == 0) {
    ::SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  delete set;
  ::SetLastError(ERROR_SUCCESS);
  return TRUE;
}
