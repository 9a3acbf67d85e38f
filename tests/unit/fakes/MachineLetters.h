// The drive letters of each machine file, as its header names them: the drive's type, a
// piece of its volume's instance ID (none: a drive of no node, such as a share), and a
// piece of the device whose removal takes the drive (none: nothing removable holds it).
#pragma once

#include <map>
#include <string>
#include <vector>

#include "common/WinValues.h"
#include "fakes/FakeDeviceTree.h"
#include "fakes/MachineFiles.h"
#include "fakes/TreeDrives.h"

struct MachineLetter {
  wchar_t letter;
  unsigned type;
  std::wstring volume;
  std::wstring ejected;
};

using winvalues::kDriveCdrom;
using winvalues::kDriveFixed;
using winvalues::kDriveNoRootDir;
using winvalues::kDriveRemote;
using winvalues::kDriveRemovable;

inline const std::vector<MachineLetter> kWindows10Letters = {
    {L'C', kDriveFixed, L"VOLUME\\{9A9F2B60-1AB9-11EA-A3D4-806E6F6E6963}#0000000006500000", L""},
    {L'E', kDriveRemovable, L"VOLUME\\_??_USBSTOR#DISK&VEN_SANDISK", L"USB\\VID_0781&PID_5581\\"},
    {L'F', kDriveFixed, L"VOLUME\\{5D2A37C1-6B1F-11EB-9C3A-806E6F6E6963}#0000000000100000",
     L"USB\\VID_1058&PID_25A2\\"},
    {L'I', kDriveFixed, L"VOLUME\\{5D2A37C1-6B1F-11EB-9C3A-806E6F6E6963}#0000007470500000",
     L"USB\\VID_1058&PID_25A2\\"},
    {L'G', kDriveFixed, L"VOLUME\\{8F0E4C12", L"USB\\VID_0781&PID_558C\\"},
    {L'H', kDriveRemovable, L"VOLUME\\_??_USBSTOR#DISK&VEN_GENERIC-&PROD_SD", L"USB\\VID_05E3&PID_0747\\"},
    {L'M', kDriveRemovable, L"VOLUME\\_??_USBSTOR#DISK&VEN_GENERIC-&PROD_COMPACT_FLASH", L"USB\\VID_05E3&PID_0747\\"},  // an empty slot
    {L'J', kDriveRemovable, L"VOLUME\\_??_USBSTOR#DISK&VEN_SAMSUNG", L"USB\\VID_090C&PID_1000\\"},
    {L'K', kDriveRemovable, L"VOLUME\\_??_USBSTOR#DISK&VEN_MBED", L"USB\\VID_0D28&PID_0204\\"},
    {L'L', kDriveFixed, L"VOLUME\\{C41F7A2E", L"SCSI\\DISK&VEN_HGST"},  // eSATA: the disk itself
    {L'Z', kDriveRemote, L"", L""},
    {L'Q', kDriveNoRootDir, L"", L""},
};

inline const std::map<std::string, std::vector<MachineLetter>> kMachineLetters = {
    {"windows10-ja.tree", kWindows10Letters},
    {"windows10-en.tree", kWindows10Letters},
    {"windows-xp-ja.tree",
     {
         {L'C', kDriveFixed, L"SIGNATURE5D1A5D1A", L""},
         {L'E', kDriveRemovable, L"REMOVABLEMEDIA\\7&2B8C8F4", L"USB\\VID_0781&PID_5406\\"},
         {L'F', kDriveFixed, L"SIGNATURE9D8B9D8B", L"USB\\VID_1058&PID_1021\\"},
         {L'G', kDriveRemovable, L"REMOVABLEMEDIA\\7&1C5B3D2&0", L"USB\\VID_058F&PID_6362\\"},
         {L'Z', kDriveRemote, L"", L""},
     }},
    {"windows-xp-laptop-en.tree",
     {
         {L'C', kDriveFixed, L"SIGNATURE7A3B7A3B", L""},
         {L'F', kDriveFixed, L"SIGNATURE4E2A9C10", L"1394\\DOTOP&1394_USB_COMBO\\"},  // not the whole card
     }},
    {"windows11-laptop-en.tree",
     {
         {L'C', kDriveFixed, L"VOLUME\\{1B7A6C40-2F31-11EE-A1B2-806E6F6E6963}#0000000006500000", L""},
         {L'D', kDriveRemovable, L"VOLUME\\_??_PCISTOR", L""},  // the reader stays: its card goes
         {L'E', kDriveFixed, L"VOLUME\\{3C9E1A52", L"PCI\\VEN_8086&DEV_15EF&SUBSYS_00000000&REV_06\\4&"},
         {L'F', kDriveRemovable, L"VOLUME\\_??_USBSTOR#DISK&VEN_KINGSTON", L"USB\\VID_0930&PID_6545\\"},
         {L'G', kDriveCdrom, L"USBSTOR\\CDROM&VEN_TOSHIBA", L"USB\\VID_0930&PID_0B09\\"},
         {L'H', kDriveRemovable, L"VOLUME\\_??_USBSTOR#DISK&VEN_SANDISK", L"USB\\VID_0781&PID_5583\\"},  // not the enclosure
     }},
    {"windows11-dock-en.tree",
     {
         {L'C', kDriveFixed, L"VOLUME\\{6E2B9D14-4C8A-11EF-9A1C-806E6F6E6963}#0000000006500000", L""},
         {L'D', kDriveRemovable, L"VOLUME\\_??_SD#", L""},  // the laptop's own slot stays: its card goes
         {L'E', kDriveRemovable, L"VOLUME\\_??_USBSTOR#DISK&VEN_GENERIC-", L"USB\\VID_0BDA&PID_0316\\"},
     }},
};

// The drives of `letters` as TreeDrives takes them, each volume by its whole instance ID.
inline std::map<wchar_t, TreeDrives::Drive> MachineDrives(FakeDeviceTree& tree,
                                                           const std::vector<MachineLetter>& letters) {
  std::map<wchar_t, TreeDrives::Drive> drives;
  for (const MachineLetter& l : letters)
    drives[l.letter] = {l.type, l.volume.empty() ? L"" : IdHolding(tree.simulated(), l.volume)};
  return drives;
}
