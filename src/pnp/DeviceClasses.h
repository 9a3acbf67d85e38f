// The setup classes that the program sweeps, the DEVICE_KIND bit each stands for,
// and the order in which listing and removal go through them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "pnp/DeviceTree.h"
#include "settings/SettingsRecord.h"

inline constexpr SetupClassGuid kGuidDevclassUsb{
    0x36FC9E60, 0xC465, 0x11CF, {0x80, 0x56, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};
inline constexpr SetupClassGuid kGuidDevclassPcmcia{
    0x4D36E977, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
inline constexpr SetupClassGuid kGuidDevclassHidclass{
    0x745A17A0, 0x74D3, 0x11D0, {0xB6, 0xFE, 0x00, 0xA0, 0xC9, 0x0F, 0x57, 0xDA}};
inline constexpr SetupClassGuid kGuidDevclass1394{
    0x6BDD1FC1, 0x810F, 0x11D0, {0xBE, 0xC7, 0x08, 0x00, 0x2B, 0xE2, 0x09, 0x2F}};
inline constexpr SetupClassGuid kGuidDevclassNet{
    0x4D36E972, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};
inline constexpr SetupClassGuid kGuidDevclassScsiAdapter{
    0x4D36E97B, 0xE325, 0x11CE, {0xBF, 0xC1, 0x08, 0x00, 0x2B, 0xE1, 0x03, 0x18}};

struct SweptClass {
  std::uint32_t kind;  // one DEVICE_KIND bit
  SetupClassGuid guid;
  // The class holds other devices besides: only its USB mass-storage members belong.
  bool massStorageOnly = false;
};

// USB hubs (kKindUsbHub) have no class of their own: they are reached as USB devices.
// A USB Attached SCSI drive sits among the SCSI adapters, yet it is USB storage to the user.
inline constexpr std::array<SweptClass, 6> kSweepOrder{{
    {kKindUsb, kGuidDevclassUsb},
    {kKindUsb, kGuidDevclassScsiAdapter, true},
    {kKindPcmcia, kGuidDevclassPcmcia},
    {kKindUsbHid, kGuidDevclassHidclass},
    {kKind1394, kGuidDevclass1394},
    {kKindNet, kGuidDevclassNet},
}};

// The registry form without braces, upper-case hex: "36FC9E60-C465-11CF-8056-444553540000".
std::wstring FormatClassGuid(const SetupClassGuid& guid);

// Reads exactly the 36-character form (either case); anything else gives nothing.
std::optional<SetupClassGuid> ParseClassGuid(std::wstring_view text);
