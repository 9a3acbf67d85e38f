// What the Configuration Manager keeps for every node beside the names the tree file
// writes: the status word of a started node, its capabilities, its removal policy and its
// enumerator, each derived as Windows derives it from the node's bus and place in the
// tree, unless the file says otherwise.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

#include "SimulatedTreeFile.h"

namespace simulated_state {

// DN_* (cfg.h) that every started node carries besides the three the program tests.
inline constexpr std::uint32_t kDnDriverLoaded = 0x2;
inline constexpr std::uint32_t kDnStarted = 0x8;
inline constexpr std::uint32_t kDnNtEnumerator = 0x00800000;
inline constexpr std::uint32_t kDnNtDriver = 0x01000000;

// CM_DEVCAP_* (cfgmgr32.h), the DEVICE_CAPABILITIES bits as the registry keeps them.
inline constexpr std::uint32_t kCapEjectSupported = 0x2;
inline constexpr std::uint32_t kCapRemovable = 0x4;
inline constexpr std::uint32_t kCapSurpriseRemovalOk = 0x80;

// CM_REMOVAL_POLICY_*.
inline constexpr std::uint32_t kPolicyExpectNoRemoval = 1;
inline constexpr std::uint32_t kPolicyExpectOrderlyRemoval = 2;
inline constexpr std::uint32_t kPolicyExpectSurpriseRemoval = 3;

// The CM_DRP_* numbers served here.
inline constexpr std::uint32_t kDrpLocationInformation = 0x0E;
inline constexpr std::uint32_t kDrpCapabilities = 0x10;
inline constexpr std::uint32_t kDrpEnumeratorName = 0x17;
inline constexpr std::uint32_t kDrpAddress = 0x1D;
inline constexpr std::uint32_t kDrpRemovalPolicy = 0x20;

}  // namespace simulated_state

// A REG_DWORD or a REG_SZ value.
using SimulatedValue = std::variant<std::uint32_t, std::wstring>;

// A started node: driver loaded, started, enumerated and driven by NT drivers (0x0180600A
// for a removable, disableable USB device). A node with a problem has not started.
std::uint32_t SimulatedStatus(const SimulatedNode& node);

std::uint32_t SimulatedCapabilities(const SimulatedNode& node);

// The enumerator, as CM_DRP_ENUMERATOR_NAME gives it: the instance ID's first part.
std::wstring SimulatedEnumerator(std::wstring_view instanceId);
