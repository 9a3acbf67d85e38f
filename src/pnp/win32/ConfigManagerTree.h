// The device tree of the running system: the Configuration Manager and SetupAPI.
#pragma once

#include "pnp/DeviceTree.h"

class ConfigManagerTree : public DeviceTree {
 public:
  winvalues::ConfigRet GetChild(DevNode& child, DevNode node) override;
  winvalues::ConfigRet GetSibling(DevNode& sibling, DevNode node) override;
  winvalues::ConfigRet GetParent(DevNode& parent, DevNode node) override;
  winvalues::ConfigRet GetDevNodeStatus(std::uint32_t& status, std::uint32_t& problem,
                                        DevNode node) override;
  winvalues::ConfigRet GetRegistryProperty(DevNode node, DeviceProperty property,
                                           std::size_t bufferUnits, std::wstring& text) override;
  std::unique_ptr<PresentDeviceSet> GetPresentDevices(const SetupClassGuid& classGuid) override;
  std::unique_ptr<PresentDeviceSet> GetAllPresentDevices() override;
  bool GetClassImageIndex(const ClassImageList* imageList, std::wstring_view guidText,
                          int& index) override;
  std::vector<DeviceInterfacePath> GetDeviceInterfaces(
      const SetupClassGuid& interfaceClass) override;
  // Passes a veto buffer as well, so that the system never shows its own notice.
  winvalues::ConfigRet RequestDeviceEjectTellingVeto(DevNode node, EjectVeto& veto) override;
  winvalues::ConfigRet GetDeviceInstanceId(DevNode node, std::wstring& id) override;
};
