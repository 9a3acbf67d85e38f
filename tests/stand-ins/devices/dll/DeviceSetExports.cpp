// Device information sets: a snapshot of the tree's nodes taken when the set is made,
// as SetupDiGetClassDevsW takes one of the system's devices.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "Exports.h"
#include "drives/DiskInterfaces.h"
#include "pnp/win32/Guids.h"
#include "StandInTree.h"

namespace {

struct Interface {
  GUID interfaceClass;
  std::size_t member;  // in members
  std::wstring path;
};

struct DeviceSet {
  std::vector<SP_DEVINFO_DATA> members;
  std::vector<Interface> interfaces;  // only in a set made with DIGCF_DEVICEINTERFACE
};

// The sets handed out and not yet destroyed, so that a stale or foreign handle is told
// apart as the system tells it (ERROR_INVALID_HANDLE). Guarded by the tree's lock.
std::set<const DeviceSet*>& LiveSets() {
  static std::set<const DeviceSet*> sets;
  return sets;
}

SP_DEVINFO_DATA MemberData(SimulatedDeviceTree& tree, DevNode node) {
  SP_DEVINFO_DATA member{};
  member.cbSize = sizeof(member);
  const auto nodeClass = tree.ClassOf(node);
  member.ClassGuid = nodeClass ? ToGuid(*nodeClass) : GUID{};
  member.DevInst = node;
  return member;
}

// The interface classes the tree can give a node (disk= and cdrom=).
constexpr SetupClassGuid kInterfaceClasses[] = {kGuidDevinterfaceDisk, kGuidDevinterfaceCdrom};

// With DIGCF_DEVICEINTERFACE the class is an interface class, and the set holds the
// devices that expose such an interface (of any class, with DIGCF_ALLCLASSES).
void AddInterfaces(SimulatedDeviceTree& tree, const GUID* interfaceClass, bool allClasses,
                   DeviceSet& set) {
  for (const SetupClassGuid& candidate : kInterfaceClasses) {
    if (!allClasses && FromGuid(*interfaceClass) != candidate) continue;
    for (DeviceInterfacePath& found : tree.GetDeviceInterfaces(candidate)) {
      std::size_t member = 0;
      while (member < set.members.size() && set.members[member].DevInst != found.node) ++member;
      if (member == set.members.size()) set.members.push_back(MemberData(tree, found.node));
      set.interfaces.push_back({ToGuid(candidate), member, std::move(found.path)});
    }
  }
}

// The tree holds only present devices (and the gone ones that once were), so
// DIGCF_PRESENT is what every set made here amounts to; a set of a hardware profile is
// a thing the tree cannot describe and comes out empty.
DeviceSet* Snapshot(SimulatedDeviceTree& tree, const GUID* classGuid, DWORD flags) {
  auto* set = new DeviceSet;
  if ((flags & DIGCF_PROFILE) != 0) return set;
  if ((flags & DIGCF_DEVICEINTERFACE) != 0) {
    AddInterfaces(tree, classGuid, (flags & DIGCF_ALLCLASSES) != 0, *set);
    return set;
  }
  const bool allClasses = (flags & DIGCF_ALLCLASSES) != 0;
  for (const DevNode node : tree.PresentNodes()) {
    const auto nodeClass = tree.ClassOf(node);
    if (!allClasses && (!nodeClass || *nodeClass != FromGuid(*classGuid))) continue;
    set->members.push_back(MemberData(tree, node));
  }
  return set;
}

// The set behind a handle, or null (ERROR_INVALID_HANDLE set) for one not handed out.
const DeviceSet* LiveSet(HDEVINFO handle) {
  const auto* set = static_cast<const DeviceSet*>(handle);
  if (LiveSets().count(set) != 0) return set;
  ::SetLastError(ERROR_INVALID_HANDLE);
  return nullptr;
}

bool SameGuid(const GUID& a, const GUID& b) { return std::memcmp(&a, &b, sizeof(GUID)) == 0; }

// SP_DEVICE_INTERFACE_DATA.Reserved carries the interface's place in its set.
const Interface* InterfaceOf(const DeviceSet& set, const SP_DEVICE_INTERFACE_DATA* data) {
  if (data == nullptr || data->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA)) return nullptr;
  const std::size_t place = static_cast<std::size_t>(data->Reserved);
  if (place >= set.interfaces.size() ||
      !SameGuid(set.interfaces[place].interfaceClass, data->InterfaceClassGuid))
    return nullptr;
  return &set.interfaces[place];
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
  const DeviceSet* set = LiveSet(handle);
  if (set == nullptr) return FALSE;
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

STAND_IN_EXPORT BOOL WINAPI SetupDiEnumDeviceInterfaces(HDEVINFO handle, PSP_DEVINFO_DATA device,
                                                        const GUID* interfaceClass, DWORD index,
                                                        PSP_DEVICE_INTERFACE_DATA data) {
  stand_in::TreeAccess tree;
  const DeviceSet* set = LiveSet(handle);
  if (set == nullptr) return FALSE;
  if (data == nullptr || data->cbSize != sizeof(SP_DEVICE_INTERFACE_DATA) ||
      (device != nullptr && device->cbSize != sizeof(SP_DEVINFO_DATA))) {
    ::SetLastError(ERROR_INVALID_USER_BUFFER);
    return FALSE;
  }
  if (interfaceClass == nullptr) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  // The index counts only the interfaces of the class asked for (and of the device, when
  // one is named).
  DWORD seen = 0;
  for (std::size_t place = 0; place < set->interfaces.size(); ++place) {
    const Interface& candidate = set->interfaces[place];
    if (!SameGuid(candidate.interfaceClass, *interfaceClass)) continue;
    if (device != nullptr && set->members[candidate.member].DevInst != device->DevInst) continue;
    if (seen++ != index) continue;
    data->InterfaceClassGuid = candidate.interfaceClass;
    data->Flags = SPINT_ACTIVE;
    data->Reserved = static_cast<ULONG_PTR>(place);
    ::SetLastError(ERROR_SUCCESS);
    return TRUE;
  }
  ::SetLastError(ERROR_NO_MORE_ITEMS);
  return FALSE;
}

// Sizes are in bytes: the structure's fixed part and the path with its NUL.
STAND_IN_EXPORT BOOL WINAPI SetupDiGetDeviceInterfaceDetailW(
    HDEVINFO handle, PSP_DEVICE_INTERFACE_DATA data, PSP_DEVICE_INTERFACE_DETAIL_DATA_W detail,
    DWORD detailSize, PDWORD requiredSize, PSP_DEVINFO_DATA device) {
  stand_in::TreeAccess tree;
  const DeviceSet* set = LiveSet(handle);
  if (set == nullptr) return FALSE;
  const Interface* found = InterfaceOf(*set, data);
  if (found == nullptr) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if ((detail == nullptr) != (detailSize == 0) ||
      (detail != nullptr && detail->cbSize != sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) ||
      (device != nullptr && device->cbSize != sizeof(SP_DEVINFO_DATA))) {
    ::SetLastError(ERROR_INVALID_USER_BUFFER);
    return FALSE;
  }
  const DWORD needed = static_cast<DWORD>(offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath) +
                                          (found->path.size() + 1) * sizeof(WCHAR));
  if (requiredSize != nullptr) *requiredSize = needed;
  if (detailSize < needed) {
    ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  std::memcpy(detail->DevicePath, found->path.c_str(), (found->path.size() + 1) * sizeof(WCHAR));
  if (device != nullptr) *device = set->members[found->member];
  ::SetLastError(ERROR_SUCCESS);
  return TRUE;
}
