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
#include "fakes/MachineLetters.h"
#include "fakes/TreeDrives.h"

namespace {

TEST(DriveHolder, EachLetterOfEachMachineEjectsTheDeviceThatHoldsIt) {
  for (const auto& [file, letters] : kMachineLetters) {
    FakeDeviceTree tree(MachineText(file));
    TreeDrives storage(tree, MachineDrives(tree, letters));
    for (const MachineLetter& c : letters) {
      std::vector<std::wstring> ejected;
      for (const DevNode holder : FindDriveHolders(tree, storage, c.letter)) {
        std::wstring id;
        tree.simulated().DeviceId(holder, id);
        ejected.push_back(id);
      }
      const std::vector<std::wstring> expected =
          c.ejected.empty() ? std::vector<std::wstring>{}
                            : std::vector<std::wstring>{IdHolding(tree.simulated(), c.ejected)};
      EXPECT_EQ(ejected, expected) << file << " " << static_cast<char>(c.letter) << ":";
    }
  }
}

TEST(DriveHolder, MachinesRelateOnlyTheirOwnNodesAndNumberEachDiskOnce) {
  for (const auto& [file, letters] : kMachineLetters) {
    const SimulatedTreeParse parsed = ParseSimulatedTree(MachineText(file));
    ASSERT_FALSE(parsed.fault) << file << ": " << parsed.fault->message;
    ASSERT_GT(parsed.tree.nodes.size(), 20u) << file << " is a whole machine";
    FakeDeviceTree tree(MachineText(file));
    const std::vector<std::wstring> ids = tree.simulated().AllIds();
    std::vector<std::uint32_t> disks;
    for (const SimulatedNode& node : parsed.tree.nodes) {
      EXPECT_TRUE(node.line == 0 || node.id) << file << " line " << node.line
                                             << " has no instance ID of its own";
      for (const std::wstring& related : node.removes)
        EXPECT_NE(std::find(ids.begin(), ids.end(), related), ids.end())
            << file << " line " << node.line << ": " << testing::PrintToString(related);
      if (node.disk) disks.push_back(*node.disk);
    }
    std::sort(disks.begin(), disks.end());
    EXPECT_EQ(std::adjacent_find(disks.begin(), disks.end()), disks.end()) << file;
  }
}

TEST(DriveHolder, TheVolumesOwnNodeLeadsToNoDevice) {
  // The rule it replaces walked up from the node the drive's DOS device names: on every
  // machine that is the volume below the volume manager, or the removable medium, and
  // neither is a device to eject by itself.
  for (const auto& [file, letters] : kMachineLetters) {
    FakeDeviceTree tree(MachineText(file));
    DevNode manager = 0;
    for (const std::wstring id : {L"ROOT\\VOLMGR\\0000", L"ROOT\\FTDISK\\0000"})
      if (tree.simulated().LocateNode(id, manager) == winvalues::kCrSuccess) break;
    DevNode volume = 0;
    ASSERT_EQ(tree.GetChild(volume, manager), winvalues::kCrSuccess) << file;
    EXPECT_EQ(NearestRemovableAncestor(tree, volume), std::nullopt) << file;
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
