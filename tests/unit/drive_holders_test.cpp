// Which device a drive letter ejects, on the machine files of Windows XP and Windows 10:
// the disk, CD-ROM or floppy whose storage device number is the drive's, and its nearest
// removable ancestor; never the volume's own parent, never a hub above the device.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "drives/DriveHolders.h"
#include "drives/DiskInterfaces.h"
#include "fakes/FakeDeviceTree.h"
#include "fakes/MachineFiles.h"
#include "fakes/TreeDrives.h"

namespace {

using winvalues::kDriveCdrom;
using winvalues::kDriveFixed;
using winvalues::kDriveNoRootDir;
using winvalues::kDriveRemote;
using winvalues::kDriveRemovable;

struct LetterCase {
  wchar_t letter;
  unsigned type;
  std::wstring volume;   // a piece of the volume's instance ID; empty: no node
  std::wstring ejected;  // a piece of the ejected node's instance ID; empty: nothing
};

struct MachineCase {
  const char* file;
  std::vector<LetterCase> letters;
};

const std::vector<LetterCase> kWindows10Letters = {
    {L'C', kDriveFixed, L"VOLUME\\{9A9F2B60-1AB9-11EA-A3D4-806E6F6E6963}#0000000006500000", L""},
    {L'E', kDriveRemovable, L"VOLUME\\_??_USBSTOR#DISK&VEN_SANDISK", L"USB\\VID_0781&PID_5581\\"},
    {L'F', kDriveFixed, L"VOLUME\\{5D2A37C1-6B1F-11EB-9C3A-806E6F6E6963}#0000000000100000",
     L"USB\\VID_1058&PID_25A2\\"},
    {L'I', kDriveFixed, L"VOLUME\\{5D2A37C1-6B1F-11EB-9C3A-806E6F6E6963}#0000007470500000",
     L"USB\\VID_1058&PID_25A2\\"},
    {L'G', kDriveFixed, L"VOLUME\\{8F0E4C12", L"USB\\VID_0781&PID_558C\\"},
    {L'H', kDriveRemovable, L"VOLUME\\_??_USBSTOR#DISK&VEN_GENERIC-&PROD_SD", L"USB\\VID_05E3&PID_0747\\"},
    {L'J', kDriveRemovable, L"VOLUME\\_??_USBSTOR#DISK&VEN_SAMSUNG", L"USB\\VID_090C&PID_1000\\"},
    {L'K', kDriveRemovable, L"VOLUME\\_??_USBSTOR#DISK&VEN_MBED", L"USB\\VID_0D28&PID_0204\\"},
    {L'Z', kDriveRemote, L"", L""},
    {L'Q', kDriveNoRootDir, L"", L""},
};

const MachineCase kMachines[] = {
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
         {L'D', kDriveRemovable, L"VOLUME\\_??_RSPCIESTOR", L""},  // the reader stays: its card goes
         {L'E', kDriveFixed, L"VOLUME\\{3C9E1A52", L"PCI\\VEN_8086&DEV_15EF&SUBSYS_00000000&REV_06\\5&"},
         {L'F', kDriveRemovable, L"VOLUME\\_??_USBSTOR#DISK&VEN_KINGSTON", L"USB\\VID_0930&PID_6545\\"},
     }},
};

TEST(DriveHolder, EachLetterOfEachMachineEjectsTheDeviceThatHoldsIt) {
  for (const MachineCase& machine : kMachines) {
    FakeDeviceTree tree(MachineText(machine.file));
    std::map<wchar_t, TreeDrives::Drive> drives;
    for (const LetterCase& c : machine.letters)
      drives[c.letter] = {c.type, c.volume.empty() ? L"" : IdHolding(tree.simulated(), c.volume)};
    TreeDrives storage(tree, drives);
    for (const LetterCase& c : machine.letters) {
      std::vector<std::wstring> ejected;
      for (const DevNode holder : FindDriveHolders(tree, storage, c.letter)) {
        std::wstring id;
        tree.simulated().DeviceId(holder, id);
        ejected.push_back(id);
      }
      const std::vector<std::wstring> expected =
          c.ejected.empty() ? std::vector<std::wstring>{}
                            : std::vector<std::wstring>{IdHolding(tree.simulated(), c.ejected)};
      EXPECT_EQ(ejected, expected) << machine.file << " " << static_cast<char>(c.letter) << ":";
    }
  }
}

TEST(DriveHolder, MachinesRelateOnlyTheirOwnNodesAndNumberEachDiskOnce) {
  for (const MachineCase& machine : kMachines) {
    const SimulatedTreeParse parsed = ParseSimulatedTree(MachineText(machine.file));
    ASSERT_FALSE(parsed.fault) << machine.file << ": " << parsed.fault->message;
    ASSERT_GT(parsed.tree.nodes.size(), 20u) << machine.file << " is a whole machine";
    FakeDeviceTree tree(MachineText(machine.file));
    const std::vector<std::wstring> ids = tree.simulated().AllIds();
    std::vector<std::uint32_t> disks;
    for (const SimulatedNode& node : parsed.tree.nodes) {
      EXPECT_TRUE(node.line == 0 || node.id) << machine.file << " line " << node.line
                                             << " has no instance ID of its own";
      for (const std::wstring& related : node.removes)
        EXPECT_NE(std::find(ids.begin(), ids.end(), related), ids.end())
            << machine.file << " line " << node.line << ": " << testing::PrintToString(related);
      if (node.disk) disks.push_back(*node.disk);
    }
    std::sort(disks.begin(), disks.end());
    EXPECT_EQ(std::adjacent_find(disks.begin(), disks.end()), disks.end()) << machine.file;
  }
}

TEST(DriveHolder, TheVolumesOwnNodeLeadsToNoDevice) {
  // The rule it replaces walked up from the node the drive's DOS device names: on every
  // machine that is the volume below the volume manager, or the removable medium, and
  // neither is a device to eject by itself.
  for (const MachineCase& machine : kMachines) {
    FakeDeviceTree tree(MachineText(machine.file));
    DevNode manager = 0;
    for (const std::wstring id : {L"ROOT\\VOLMGR\\0000", L"ROOT\\FTDISK\\0000"})
      if (tree.simulated().LocateNode(id, manager) == winvalues::kCrSuccess) break;
    DevNode volume = 0;
    ASSERT_EQ(tree.GetChild(volume, manager), winvalues::kCrSuccess) << machine.file;
    EXPECT_EQ(NearestRemovableAncestor(tree, volume), std::nullopt) << machine.file;
  }
}

TEST(DriveHolder, SpannedVolumesCdromsAndFloppiesFindTheirDevices) {
  // Lines: 1 and 3 two USB devices whose disks one volume (7) spans; 5 a USB CD-ROM
  // drive, whose number space is its own; 8 a disk that shares the CD-ROM's number.
  FakeDeviceTree tree(R"(usb id="USB\\A" removable
  diskdrive disk=1 removes="STORAGE\\VOLUME\\SPAN"
usb id="USB\\B" removable
  diskdrive disk=2 removes="STORAGE\\VOLUME\\SPAN"
usb id="USB\\CD" removable
  cdrom id="USBSTOR\\CDROM" cdrom=0
volume id="STORAGE\\VOLUME\\SPAN"
diskdrive id="IDE\\DISK0" disk=0
)");
  TreeDrives storage(tree, {{L'S', {kDriveFixed, L"STORAGE\\VOLUME\\SPAN"}},
                                  {L'D', {kDriveCdrom, L"USBSTOR\\CDROM"}},
                                  {L'C', {kDriveFixed, L"IDE\\DISK0"}}});
  EXPECT_EQ(FindDriveHolders(tree, storage, L'S'), (std::vector<DevNode>{1, 3}));
  EXPECT_EQ(FindDriveHolders(tree, storage, L'D'), (std::vector<DevNode>{5}));
  EXPECT_EQ(FindDriveDevices(tree, storage, L'C'), (std::vector<DevNode>{8}))
      << "disk 0 and CD-ROM 0 are told apart by the drive's type";
  EXPECT_TRUE(FindDriveHolders(tree, storage, L'C').empty());

  tree.RequestDeviceEject(1);
  EXPECT_EQ(FindDriveHolders(tree, storage, L'S'), (std::vector<DevNode>{3}))
      << "what is left of a spanned volume still finds its other disk";
}

TEST(DriveHolder, DriveTypeChoosesTheInterfaceClass) {
  struct Case {
    unsigned type;
    std::optional<std::wstring> dosDevice;
    std::optional<SetupClassGuid> interfaceClass;
  };
  const Case cases[] = {
      {kDriveRemovable, L"\\Device\\Harddisk1\\DP(1)0-0+5", kGuidDevinterfaceDisk},
      {kDriveRemovable, L"\\Device\\Floppy0", kGuidDevinterfaceFloppy},
      {kDriveRemovable, std::nullopt, kGuidDevinterfaceDisk},
      {kDriveFixed, L"\\Device\\Floppy0", kGuidDevinterfaceDisk},
      {kDriveCdrom, L"\\Device\\CdRom0", kGuidDevinterfaceCdrom},
      {kDriveRemote, L"\\Device\\LanmanRedirector\\;Z:0\\server\\share", std::nullopt},
      {winvalues::kDriveRamdisk, L"\\Device\\Ramdisk", std::nullopt},
      {kDriveNoRootDir, std::nullopt, std::nullopt},
      {winvalues::kDriveUnknown, std::nullopt, std::nullopt},
  };
  for (const Case& c : cases)
    EXPECT_EQ(DriveInterfaceClass(c.type, c.dosDevice), c.interfaceClass)
        << c.type << " " << testing::PrintToString(c.dosDevice.value_or(L"-"));
}

}  // namespace
