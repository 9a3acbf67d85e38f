// The in-memory copy of section "APP" and its loading.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class SettingsFile;

// DEVICE_KIND bits.
inline constexpr std::uint32_t kKindUsb = 0x01;
inline constexpr std::uint32_t kKindPcmcia = 0x02;
inline constexpr std::uint32_t kKind1394 = 0x04;
inline constexpr std::uint32_t kKindUsbHub = 0x08;
inline constexpr std::uint32_t kKindUsbHid = 0x10;
inline constexpr std::uint32_t kKindNet = 0x20;
inline constexpr std::uint32_t kKindHotPlug = 0x40;  // Thunderbolt, USB4, eSATA disks
inline constexpr std::uint32_t kKindCard = 0x80;     // a card-reader slot's card

// A settings file written before the two storage kinds keeps the kinds it stored.
inline constexpr std::uint32_t kDefaultDeviceKind =
    kKindUsb | kKindPcmcia | kKindHotPlug | kKindCard;                                    // 195
inline constexpr std::uint32_t kCommandLineDeviceKind = 0x1F | kKindHotPlug | kKindCard;  // 223

struct SettingsRecord {
  std::int32_t m_bDispRejectErr = 0;
  std::uint32_t m_nDeviceKind = kDefaultDeviceKind;
  std::int32_t m_bRemoveWindow = 0;
  std::int32_t m_bDispMessage = 1;
  std::int32_t m_nRemoveWindowTime = 3;
  std::int32_t m_bStartup = 1;
  std::int32_t m_bCloseExplorer = 0;
  std::wstring m_strCloseExplorerDrive;
  std::int32_t m_nCloseExplorerSleep = 500;
  // Section KEEP: the devices the all-storage entry passes over.
  std::vector<std::wstring> m_aKeptOut;
};

// Fills `record` from section "APP", values as read, in the file's key order, and the
// kept-out devices from section "KEEP".
// `commandLineDefaults` makes DEVICE_KIND default to 223; `vistaOrLater` makes
// CLOSE_EXPLORER default to 1.
void LoadSettings(const SettingsFile& file, bool commandLineDefaults, bool vistaOrLater,
                  SettingsRecord& record);
