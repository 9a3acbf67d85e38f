// CM_* as the Configuration Manager answers them, for the nodes of the tree file.
#include <cstring>
#include <string>
#include <variant>
#include <vector>

#include "Exports.h"
#include "StandInTree.h"

namespace {

static_assert(sizeof(DEVINST) == sizeof(DevNode));
static_assert(simulated_state::kDrpCapabilities == CM_DRP_CAPABILITIES &&
              simulated_state::kDrpRemovalPolicy == CM_DRP_REMOVAL_POLICY &&
              simulated_state::kDrpEnumeratorName == CM_DRP_ENUMERATOR_NAME &&
              simulated_state::kDrpAddress == CM_DRP_ADDRESS &&
              simulated_state::kDrpLocationInformation == CM_DRP_LOCATION_INFORMATION);
static_assert(simulated_state::kCapRemovable == CM_DEVCAP_REMOVABLE &&
              simulated_state::kCapSurpriseRemovalOk == CM_DEVCAP_SURPRISEREMOVALOK &&
              simulated_state::kCapEjectSupported == CM_DEVCAP_EJECTSUPPORTED &&
              simulated_state::kPolicyExpectSurpriseRemoval ==
                  CM_REMOVAL_POLICY_EXPECT_SURPRISE_REMOVAL);
static_assert(simulated_state::kDnStarted == DN_STARTED &&
              simulated_state::kDnDriverLoaded == DN_DRIVER_LOADED &&
              simulated_state::kDnNtEnumerator == DN_NT_ENUMERATOR &&
              simulated_state::kDnNtDriver == DN_NT_DRIVER);

using Step = winvalues::ConfigRet (SimulatedDeviceTree::*)(DevNode&, DevNode);

CONFIGRET Navigate(Step step, PDEVINST found, DEVINST node, ULONG flags) {
  if (found == nullptr) return CR_INVALID_POINTER;
  *found = 0;
  if (flags != 0) return CR_INVALID_FLAG;
  DevNode next = 0;
  stand_in::TreeAccess tree;
  const CONFIGRET result = ((*tree).*step)(next, node);
  if (result == CR_SUCCESS) *found = next;
  return result;
}

// The string properties the tree can hold; any other valid one is simply not set.
bool ModelledProperty(ULONG property, DeviceProperty& modelled) {
  switch (property) {
    case CM_DRP_DEVICEDESC:
      modelled = DeviceProperty::DeviceDesc;
      return true;
    case CM_DRP_CLASSGUID:
      modelled = DeviceProperty::ClassGuid;
      return true;
    case CM_DRP_FRIENDLYNAME:
      modelled = DeviceProperty::FriendlyName;
      return true;
    case CM_DRP_PHYSICAL_DEVICE_OBJECT_NAME:
      modelled = DeviceProperty::PhysicalDeviceObjectName;
      return true;
    case CM_DRP_SERVICE:
      modelled = DeviceProperty::Service;
      return true;
    case CM_DRP_HARDWAREID:
      modelled = DeviceProperty::HardwareId;
      return true;
    case CM_DRP_COMPATIBLEIDS:
      modelled = DeviceProperty::CompatibleIds;
      return true;
    default:
      return false;
  }
}

bool IsMultiString(ULONG property) {
  return property == CM_DRP_HARDWAREID || property == CM_DRP_COMPATIBLEIDS;
}

// A list of IDs as the Configuration Manager hands one out: each with its NUL, and one
// more NUL at the end.
std::wstring IdList(const std::vector<std::wstring>& ids) {
  std::wstring list;
  for (const std::wstring& id : ids) {
    list += id;
    list += L'\0';
  }
  list += L'\0';
  return list;
}

// The relations and filters that the tree can answer; CR_INVALID_FLAG for the filters it
// cannot describe (enumerators, power and transport relations, hardware profiles).
CONFIGRET IdsFor(PCWSTR filter, ULONG flags, std::vector<std::wstring>& ids) {
  stand_in::TreeAccess tree;
  switch (flags) {
    case CM_GETIDLIST_FILTER_NONE:
      ids = tree->AllIds();
      return CR_SUCCESS;
    case CM_GETIDLIST_FILTER_SERVICE:
      if (filter == nullptr || *filter == L'\0') return CR_INVALID_POINTER;
      ids = tree->IdsOfService(filter);
      return CR_SUCCESS;
    case CM_GETIDLIST_FILTER_REMOVALRELATIONS:
    case CM_GETIDLIST_FILTER_BUSRELATIONS: {
      if (filter == nullptr || *filter == L'\0') return CR_INVALID_POINTER;
      DevNode node = 0;
      if (tree->LocateNode(filter, node) != CR_SUCCESS) return CR_INVALID_DEVICE_ID;
      return flags == CM_GETIDLIST_FILTER_BUSRELATIONS ? tree->BusRelations(node, ids)
                                                       : tree->RemovalRelations(node, ids);
    }
    default:
      return CR_INVALID_FLAG;
  }
}

void TellVeto(const EjectVeto& veto, PPNP_VETO_TYPE vetoType, LPWSTR vetoName,
              ULONG nameLength) {
  if (vetoType != nullptr) *vetoType = static_cast<PNP_VETO_TYPE>(veto.type);
  if (vetoName == nullptr) return;
  const std::size_t units = veto.name.size() < nameLength ? veto.name.size() : nameLength - 1;
  std::memcpy(vetoName, veto.name.data(), units * sizeof(wchar_t));
  vetoName[units] = L'\0';
}

}  // namespace

STAND_IN_EXPORT CONFIGRET WINAPI CM_Get_Child(PDEVINST child, DEVINST node, ULONG flags) {
  return Navigate(&SimulatedDeviceTree::GetChild, child, node, flags);
}

STAND_IN_EXPORT CONFIGRET WINAPI CM_Get_Sibling(PDEVINST sibling, DEVINST node, ULONG flags) {
  return Navigate(&SimulatedDeviceTree::GetSibling, sibling, node, flags);
}

STAND_IN_EXPORT CONFIGRET WINAPI CM_Get_Parent(PDEVINST parent, DEVINST node, ULONG flags) {
  return Navigate(&SimulatedDeviceTree::GetParent, parent, node, flags);
}

STAND_IN_EXPORT CONFIGRET WINAPI CM_Get_DevNode_Status(PULONG status, PULONG problem,
                                                       DEVINST node, ULONG flags) {
  if (status == nullptr || problem == nullptr) return CR_INVALID_POINTER;
  *status = 0;
  *problem = 0;
  if (flags != 0) return CR_INVALID_FLAG;
  std::uint32_t word = 0;
  std::uint32_t number = 0;
  stand_in::TreeAccess tree;
  const CONFIGRET result = tree->GetDevNodeStatus(word, number, node);
  if (result == CR_SUCCESS) {
    *status = word;
    *problem = number;
  }
  return result;
}

// Lengths are in bytes both ways; a buffer too small (or none) learns the length the
// value needs, its NUL included.
STAND_IN_EXPORT CONFIGRET WINAPI CM_Get_DevNode_Registry_PropertyW(DEVINST node, ULONG property,
                                                                   PULONG dataType, PVOID buffer,
                                                                   PULONG length, ULONG flags) {
  if (length == nullptr || (buffer == nullptr && *length != 0)) return CR_INVALID_POINTER;
  if (property < CM_DRP_MIN || property > CM_DRP_MAX) return CR_INVALID_PROPERTY;
  if (flags != 0) return CR_INVALID_FLAG;
  SimulatedValue value;
  CONFIGRET result = CR_NO_SUCH_VALUE;
  {
    stand_in::TreeAccess tree;
    DeviceProperty modelled{};
    std::wstring text;
    if (ModelledProperty(property, modelled)) {
      result = tree->PropertyValue(node, modelled, text);
      value = std::move(text);
    } else {
      // Any other property is set on no node of the tree; a node that is gone says so.
      result = tree->SystemProperty(node, property, value);
    }
  }
  if (result != CR_SUCCESS) return result;
  const auto* number = std::get_if<std::uint32_t>(&value);
  const auto* text = std::get_if<std::wstring>(&value);
  const ULONG needed = number ? sizeof(DWORD)
                              : static_cast<ULONG>((text->size() + 1) * sizeof(wchar_t));
  if (dataType != nullptr)
    *dataType = number ? REG_DWORD : IsMultiString(property) ? REG_MULTI_SZ : REG_SZ;
  if (*length < needed) {
    *length = needed;
    return CR_BUFFER_SMALL;
  }
  std::memcpy(buffer, number ? static_cast<const void*>(number) : text->c_str(), needed);
  *length = needed;
  return CR_SUCCESS;
}

// Without a veto buffer the system itself would tell the user the outcome; the stand-in
// has no such message, and the eject log records every request either way. A veto names
// the instance ID of the node that holds the device.
STAND_IN_EXPORT CONFIGRET WINAPI CM_Request_Device_EjectW(DEVINST node, PPNP_VETO_TYPE vetoType,
                                                          LPWSTR vetoName, ULONG nameLength,
                                                          ULONG flags) {
  if (vetoName != nullptr && nameLength == 0) return CR_INVALID_POINTER;
  if (flags != 0) return CR_INVALID_FLAG;
  // The device's time is spent outside the lock: other requests (the listing, another
  // removal) go on meanwhile, as they do beside a slow device on Windows.
  std::uint32_t delay = 0;
  {
    stand_in::TreeAccess tree;
    delay = tree->EjectDelayOf(node);
  }
  if (delay > 0) ::Sleep(delay);
  CONFIGRET result = CR_FAILURE;
  EjectVeto veto;
  {
    stand_in::TreeAccess tree;
    result = tree->RequestDeviceEjectAtOnce(node, veto);
  }
  TellVeto(veto, vetoType, vetoName, nameLength);
  return result;
}

// Sizes are in characters and leave out the NUL.
STAND_IN_EXPORT CONFIGRET WINAPI CM_Get_Device_ID_Size(PULONG length, DEVINST node, ULONG flags) {
  if (length == nullptr) return CR_INVALID_POINTER;
  *length = 0;
  if (flags != 0) return CR_INVALID_FLAG;
  std::wstring id;
  stand_in::TreeAccess tree;
  const CONFIGRET result = tree->DeviceId(node, id);
  if (result == CR_SUCCESS) *length = static_cast<ULONG>(id.size());
  return result;
}

// A buffer too small gets as much of the ID as fits, without a NUL.
STAND_IN_EXPORT CONFIGRET WINAPI CM_Get_Device_IDW(DEVINST node, PWSTR buffer, ULONG length,
                                                   ULONG flags) {
  if (buffer == nullptr || length == 0) return CR_INVALID_POINTER;
  if (flags != 0) return CR_INVALID_FLAG;
  std::wstring id;
  {
    stand_in::TreeAccess tree;
    const CONFIGRET result = tree->DeviceId(node, id);
    if (result != CR_SUCCESS) return result;
  }
  if (id.size() + 1 > length) {
    std::memcpy(buffer, id.data(), length * sizeof(wchar_t));
    return CR_BUFFER_SMALL;
  }
  std::memcpy(buffer, id.c_str(), (id.size() + 1) * sizeof(wchar_t));
  return CR_SUCCESS;
}

// Every node of the tree is configured now or gone for good, so each locating flag finds
// exactly the present nodes.
STAND_IN_EXPORT CONFIGRET WINAPI CM_Locate_DevNodeW(PDEVINST node, DEVINSTID_W id, ULONG flags) {
  if (node == nullptr) return CR_INVALID_POINTER;
  *node = 0;
  if ((flags & ~CM_LOCATE_DEVNODE_BITS) != 0) return CR_INVALID_FLAG;
  DevNode found = 0;
  stand_in::TreeAccess tree;
  const CONFIGRET result = tree->LocateNode(id == nullptr ? L"" : id, found);
  if (result == CR_SUCCESS) *node = found;
  return result;
}

STAND_IN_EXPORT CONFIGRET WINAPI CM_Get_Device_ID_List_SizeW(PULONG length, PCWSTR filter,
                                                             ULONG flags) {
  if (length == nullptr) return CR_INVALID_POINTER;
  *length = 0;
  std::vector<std::wstring> ids;
  const CONFIGRET result = IdsFor(filter, flags, ids);
  if (result == CR_SUCCESS) *length = static_cast<ULONG>(IdList(ids).size());
  return result;
}

STAND_IN_EXPORT CONFIGRET WINAPI CM_Get_Device_ID_ListW(PCWSTR filter, PZZWSTR buffer, ULONG length,
                                                        ULONG flags) {
  if (buffer == nullptr || length == 0) return CR_INVALID_POINTER;
  std::vector<std::wstring> ids;
  const CONFIGRET result = IdsFor(filter, flags, ids);
  if (result != CR_SUCCESS) return result;
  const std::wstring list = IdList(ids);
  if (list.size() > length) return CR_BUFFER_SMALL;
  std::memcpy(buffer, list.data(), list.size() * sizeof(wchar_t));
  return CR_SUCCESS;
}
