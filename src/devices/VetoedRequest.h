// An eject request that the system refused, as the veto message and the holder look-up
// take it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "devices/VetoHolder.h"
#include "pnp/DeviceTree.h"
#include "pnp/EjectVeto.h"

// An eject request that the system refused because something held the device: which
// device, why, and the instance IDs of the node and of every node below it (a program
// that holds the disk below a USB node vetoes the USB node's removal).
struct VetoedRequest {
  DevNode node = 0;
  std::wstring deviceName;
  EjectVeto veto;
  std::vector<std::wstring> instanceIds;
  // Who holds it, once looked up and when the system could tell.
  std::optional<VetoHolder> holder;
  bool operator==(const VetoedRequest&) const = default;
};
