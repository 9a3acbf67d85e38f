// What a node is to the program: USB mass storage, a USB hub, a volume. Descriptions are
// translated with Windows itself, so they hold only on the Japanese system; the service
// and the setup class are not, and decide everywhere else. Listing, removal and the
// Explorer preparation ask here.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "pnp/DeviceClasses.h"
#include "pnp/DeviceTree.h"
#include "pnp/SystemNames.h"

// The CM_DRP_SERVICE buffer, in UTF-16 units: service key names are far shorter.
inline constexpr std::size_t kServiceBufferUnits = 260;

// The node's service, or nothing when it cannot be read.
std::optional<std::wstring> GetNodeService(DeviceTree& tree, DevNode node);

// The node's setup class, or nothing when it cannot be read or parsed.
std::optional<SetupClassGuid> GetNodeClass(DeviceTree& tree, DevNode node);

// Served by the USB mass-storage driver (USBSTOR) or the USB Attached SCSI one (UASPStor).
bool HasMassStorageService(DeviceTree& tree, DevNode node);

// USB mass storage: by its service, or, as the Japanese system tells it, because
// `described` (its description or display name) is the system's storage description.
bool IsUsbMassStorage(DeviceTree& tree, DevNode node, std::wstring_view described,
                      const SystemNames& names);

// A USB hub, root hubs included, by its service (usbhub, USBHUB3).
bool HasHubService(DeviceTree& tree, DevNode node);

// A volume: in the Volume setup class, or described as the Japanese system's generic volume.
bool IsVolumeNode(DeviceTree& tree, DevNode node);

// The class devices of a swept class: its present members that pass IsRemovableNode, and
// in a class shared with other devices (SCSI adapters), only the USB mass storage.
void ForEachClassDevice(DeviceTree& tree, const SweptClass& swept,
                        const std::function<void(DevNode)>& visitor);
