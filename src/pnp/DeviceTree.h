// The device tree seam: the few Configuration Manager and SetupAPI operations that
// the listing and the removal need, answered by Windows or by the simulated tree.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "common/WinValues.h"
#include "pnp/EjectVeto.h"

// A device instance handle (DEVINST). Nodes are not owned; a handle stays usable
// while its device is present.
using DevNode = std::uint32_t;

// The string properties that the program reads, with their CM_DRP_* values. The hardware
// and compatible IDs are lists (REG_MULTI_SZ); read through the seam they give their first.
enum class DeviceProperty : std::uint32_t {
  DeviceDesc = winvalues::kCmDrpDeviceDesc,
  HardwareId = winvalues::kCmDrpHardwareId,
  CompatibleIds = winvalues::kCmDrpCompatibleIds,
  Service = winvalues::kCmDrpService,
  ClassGuid = winvalues::kCmDrpClassGuid,
  FriendlyName = winvalues::kCmDrpFriendlyName,
  PhysicalDeviceObjectName = winvalues::kCmDrpPhysicalDeviceObjectName,
};

// A setup class GUID, laid out as Windows' GUID.
struct SetupClassGuid {
  std::uint32_t data1 = 0;
  std::uint16_t data2 = 0;
  std::uint16_t data3 = 0;
  std::array<std::uint8_t, 8> data4{};

  constexpr bool operator==(const SetupClassGuid&) const = default;
};

// The device list page's class image list (SP_CLASSIMAGELIST_DATA on Windows); only
// the Win32 layer looks inside.
struct ClassImageList;

// The present members of one setup class, as SetupDiGetClassDevsW gives them; freed
// when the holder goes.
class PresentDeviceSet {
 public:
  virtual ~PresentDeviceSet() = default;

  // The member at `index` (0, 1, 2, ...); false past the last one.
  virtual bool EnumMember(std::uint32_t index, DevNode& node) = 0;
};

// One device interface of a present device: its node, and the path that opens it.
struct DeviceInterfacePath {
  DevNode node = 0;
  std::wstring path;

  bool operator==(const DeviceInterfacePath&) const = default;
};

class DeviceTree {
 public:
  virtual ~DeviceTree() = default;

  // CM_Get_Child, CM_Get_Sibling, CM_Get_Parent: CR_SUCCESS with the node.
  virtual winvalues::ConfigRet GetChild(DevNode& child, DevNode node) = 0;
  virtual winvalues::ConfigRet GetSibling(DevNode& sibling, DevNode node) = 0;
  virtual winvalues::ConfigRet GetParent(DevNode& parent, DevNode node) = 0;

  // CM_Get_DevNode_Status: the DN_* word and the problem number.
  virtual winvalues::ConfigRet GetDevNodeStatus(std::uint32_t& status, std::uint32_t& problem,
                                                DevNode node) = 0;

  // CM_Get_DevNode_Registry_PropertyW into a buffer of `bufferUnits` UTF-16 units (the
  // length passed is twice that in bytes). A value that does not fit with its NUL gives
  // CR_BUFFER_SMALL; on CR_SUCCESS `text` is the value up to its first NUL.
  virtual winvalues::ConfigRet GetRegistryProperty(DevNode node, DeviceProperty property,
                                                   std::size_t bufferUnits, std::wstring& text) = 0;

  // SetupDiGetClassDevsW(class, DIGCF_PRESENT); null when no set can be had.
  virtual std::unique_ptr<PresentDeviceSet> GetPresentDevices(const SetupClassGuid& classGuid) = 0;

  // SetupDiGetClassDevsW(no class, DIGCF_PRESENT | DIGCF_ALLCLASSES): every present
  // device, whatever its class; null when no set can be had.
  virtual std::unique_ptr<PresentDeviceSet> GetAllPresentDevices() = 0;

  // SetupDiGetClassDevsW(interface class, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE), and
  // for each interface SetupDiGetDeviceInterfaceDetailW: its device path and its node.
  // Empty when no set can be had.
  virtual std::vector<DeviceInterfacePath> GetDeviceInterfaces(
      const SetupClassGuid& interfaceClass) = 0;

  // UuidFromStringW of `guidText` (a GUID without braces), then
  // SetupDiGetClassImageIndex in `imageList`. False when either fails.
  virtual bool GetClassImageIndex(const ClassImageList* imageList, std::wstring_view guidText,
                                  int& index) = 0;

  // CM_Request_Device_EjectW with a veto type and a veto name buffer of
  // kVetoNameBufferUnits: the system then shows nothing, and `veto` says why it refused
  // (cleared when it did not).
  virtual winvalues::ConfigRet RequestDeviceEjectTellingVeto(DevNode node, EjectVeto& veto) = 0;

  // CM_Get_Device_IDW: the node's device instance ID.
  virtual winvalues::ConfigRet GetDeviceInstanceId(DevNode node, std::wstring& id) = 0;
};
