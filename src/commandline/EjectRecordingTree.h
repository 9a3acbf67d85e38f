// A device tree that keeps what each eject request answered, so that the command line
// can give the reason of a failure; or that asks nothing at all and answers success, so
// that "/whatif" walks the very same removal and learns what it would eject.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "pnp/DeviceTree.h"

struct EjectAnswer {
  DevNode node = 0;
  std::wstring deviceName;  // the node's display name when the request was made
  winvalues::ConfigRet result = winvalues::kCrSuccess;
  bool operator==(const EjectAnswer&) const = default;
};

class EjectRecordingTree final : public DeviceTree {
 public:
  enum class Requests { Ask, Withhold };
  EjectRecordingTree(DeviceTree& tree, Requests requests) : tree_(tree), requests_(requests) {}

  // Every eject request in the order made; a node asked twice is kept twice.
  const std::vector<EjectAnswer>& Answers() const { return answers_; }

  winvalues::ConfigRet GetChild(DevNode& child, DevNode node) override;
  winvalues::ConfigRet GetSibling(DevNode& sibling, DevNode node) override;
  winvalues::ConfigRet GetParent(DevNode& parent, DevNode node) override;
  winvalues::ConfigRet GetDevNodeStatus(std::uint32_t& status, std::uint32_t& problem,
                                        DevNode node) override;
  winvalues::ConfigRet GetRegistryProperty(DevNode node, DeviceProperty property,
                                           std::size_t bufferUnits, std::wstring& text) override;
  std::unique_ptr<PresentDeviceSet> GetPresentDevices(const SetupClassGuid& classGuid) override;
  std::unique_ptr<PresentDeviceSet> GetAllPresentDevices() override;
  std::vector<DeviceInterfacePath> GetDeviceInterfaces(
      const SetupClassGuid& interfaceClass) override;
  bool GetClassImageIndex(const ClassImageList* imageList, std::wstring_view guidText,
                          int& index) override;
  winvalues::ConfigRet RequestDeviceEjectTellingVeto(DevNode node, EjectVeto& veto) override;
  winvalues::ConfigRet GetDeviceInstanceId(DevNode node, std::wstring& id) override;

 private:
  DeviceTree& tree_;
  Requests requests_;
  std::vector<EjectAnswer> answers_;
};
