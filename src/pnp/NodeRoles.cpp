#include "pnp/NodeRoles.h"

#include <array>

#include "pnp/DeviceNames.h"
#include "pnp/DeviceNodes.h"

namespace {

inline constexpr SetupClassGuid kGuidDevclassVolume{
    0x71A27CDD, 0x812A, 0x11D0, {0xBE, 0xC7, 0x08, 0x00, 0x2B, 0xE2, 0x09, 0x2F}};

constexpr std::array<std::wstring_view, 2> kMassStorageServices{L"USBSTOR", L"UASPStor"};
constexpr std::array<std::wstring_view, 2> kHubServices{L"usbhub", L"USBHUB3"};

// Service key names are compared as the registry compares them, without regard to case.
template <std::size_t N>
bool HasServiceOf(DeviceTree& tree, DevNode node,
                  const std::array<std::wstring_view, N>& services) {
  const auto service = GetNodeService(tree, node);
  if (!service) return false;
  for (const std::wstring_view known : services)
    if (DeviceNamesEqual(*service, known)) return true;
  return false;
}

}  // namespace

std::optional<std::wstring> GetNodeService(DeviceTree& tree, DevNode node) {
  std::wstring service;
  if (tree.GetRegistryProperty(node, DeviceProperty::Service, kServiceBufferUnits, service) !=
      winvalues::kCrSuccess)
    return std::nullopt;
  return service;
}

std::optional<SetupClassGuid> GetNodeClass(DeviceTree& tree, DevNode node) {
  std::wstring text;
  if (tree.GetRegistryProperty(node, DeviceProperty::ClassGuid, kClassGuidBufferUnits, text) !=
      winvalues::kCrSuccess)
    return std::nullopt;
  if (text.size() != kClassGuidBufferUnits - 1 || text.front() != L'{' || text.back() != L'}')
    return std::nullopt;
  return ParseClassGuid(std::wstring_view(text).substr(1, text.size() - 2));
}

bool HasMassStorageService(DeviceTree& tree, DevNode node) {
  return HasServiceOf(tree, node, kMassStorageServices);
}

bool IsUsbMassStorage(DeviceTree& tree, DevNode node, std::wstring_view described,
                      const SystemNames& names) {
  return names.IsStorageName(described) || HasMassStorageService(tree, node);
}

bool HasHubService(DeviceTree& tree, DevNode node) {
  return HasServiceOf(tree, node, kHubServices);
}

bool IsVolumeNode(DeviceTree& tree, DevNode node) {
  return GetNodeClass(tree, node) == kGuidDevclassVolume ||
         DeviceNamesEqual(GetDeviceName(tree, node), kGenericVolume);
}

void ForEachClassDevice(DeviceTree& tree, const SweptClass& swept,
                        const std::function<void(DevNode)>& visitor) {
  ForEachPresentDevice(tree, swept.guid, [&](DevNode member) {
    if (!IsRemovableNode(tree, member)) return;
    if (swept.massStorageOnly && !HasMassStorageService(tree, member)) return;
    visitor(member);
  });
}
