#include "commandline/EjectRecordingTree.h"

#include "pnp/DeviceNames.h"

using winvalues::ConfigRet;

ConfigRet EjectRecordingTree::GetChild(DevNode& child, DevNode node) {
  return tree_.GetChild(child, node);
}
ConfigRet EjectRecordingTree::GetSibling(DevNode& sibling, DevNode node) {
  return tree_.GetSibling(sibling, node);
}
ConfigRet EjectRecordingTree::GetParent(DevNode& parent, DevNode node) {
  return tree_.GetParent(parent, node);
}
ConfigRet EjectRecordingTree::GetDevNodeStatus(std::uint32_t& status, std::uint32_t& problem,
                                               DevNode node) {
  return tree_.GetDevNodeStatus(status, problem, node);
}
ConfigRet EjectRecordingTree::GetRegistryProperty(DevNode node, DeviceProperty property,
                                                  std::size_t bufferUnits, std::wstring& text) {
  return tree_.GetRegistryProperty(node, property, bufferUnits, text);
}
std::unique_ptr<PresentDeviceSet> EjectRecordingTree::GetPresentDevices(
    const SetupClassGuid& classGuid) {
  return tree_.GetPresentDevices(classGuid);
}
std::unique_ptr<PresentDeviceSet> EjectRecordingTree::GetAllPresentDevices() {
  return tree_.GetAllPresentDevices();
}
std::vector<DeviceInterfacePath> EjectRecordingTree::GetDeviceInterfaces(
    const SetupClassGuid& interfaceClass) {
  return tree_.GetDeviceInterfaces(interfaceClass);
}
bool EjectRecordingTree::GetClassImageIndex(const ClassImageList* imageList,
                                            std::wstring_view guidText, int& index) {
  return tree_.GetClassImageIndex(imageList, guidText, index);
}
ConfigRet EjectRecordingTree::GetDeviceInstanceId(DevNode node, std::wstring& id) {
  return tree_.GetDeviceInstanceId(node, id);
}

// The name is read before the request: once ejected, the node may be gone and its name
// with it.
ConfigRet EjectRecordingTree::RequestDeviceEjectTellingVeto(DevNode node, EjectVeto& veto) {
  veto = EjectVeto{};
  std::wstring name = GetDeviceName(tree_, node);
  const ConfigRet result = requests_ == Requests::Withhold
                               ? winvalues::kCrSuccess
                               : tree_.RequestDeviceEjectTellingVeto(node, veto);
  answers_.push_back({node, std::move(name), result});
  return result;
}
