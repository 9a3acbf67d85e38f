// The simulated tree describes a node as Windows does: instance IDs and their look-up,
// service, hardware and compatible IDs, removal and bus relations, device interfaces,
// and the setup classes of the class words.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pnp/DeviceClasses.h"
#include "drives/DiskInterfaces.h"
#include "SimulatedDeviceTree.h"
#include "SimulatedTreeFile.h"

namespace {

using winvalues::kCrNoSuchDevnode;
using winvalues::kCrNoSuchValue;
using winvalues::kCrSuccess;

// Lines: 1 a stick, 2 its disk, 3 a card reader, 4 and 5 its slots, 6 a CD-ROM drive,
// 7 the volume manager, 8 and 9 volumes, 10 a node without attributes.
constexpr const char* kTree = R"(usb id="USB\\VID_0781&PID_5581\\4C53" service="USBSTOR" hwids="USB\\VID_0781&PID_5581&REV_0100;USB\\VID_0781&PID_5581" compat="USB\\Class_08&SubClass_06&Prot_50;USB\\Class_08" removable disableable
  diskdrive id="USBSTOR\\DISK&VEN_SANDISK\\4C53&0" service="disk" removes="STORAGE\\VOLUME\\{A}#1;storage\\volume\\{gone}#1" disk=1
usb id="USB\\VID_05E3&PID_0747\\0819" service="usbstor" removable disableable
  diskdrive id="USBSTOR\\Disk&Ven_Generic-&Prod_SD\\0819&0" disk=4
  diskdrive id="USBSTOR\\DISK&VEN_GENERIC-&PROD_CF\\0819&1" disk=5
cdrom id="IDE\\CDROM\\0" service="cdrom" cdrom=0
system id="ROOT\\VOLMGR\\0000"
  volume id="STORAGE\\VOLUME\\{A}#1" pdo="\\Device\\HarddiskVolume4"
  volume id="STORAGE\\VOLUME\\{B}#1"
widget
)";

SimulatedDeviceTree Machine() { return SimulatedDeviceTree(ParseSimulatedTree(kTree).tree); }

TEST(SimulatedNodeIdentity, InstanceIdsAreTheFilesOrTheStandInsOwn) {
  SimulatedDeviceTree tree = Machine();
  struct Case {
    DevNode node;
    std::wstring id;
  };
  const Case cases[] = {
      {0, L"HTREE\\ROOT\\0"},
      {1, L"USB\\VID_0781&PID_5581\\4C53"},
      {4, L"USBSTOR\\DISK&VEN_GENERIC-&PROD_SD\\0819&0"},
      {10, L"STANDIN\\LINE10"},
  };
  for (const Case& c : cases) {
    std::wstring id;
    ASSERT_EQ(tree.DeviceId(c.node, id), kCrSuccess) << c.node;
    EXPECT_EQ(id, c.id) << "upper case, whatever the driver's case";
    DevNode found = 99;
    EXPECT_EQ(tree.LocateNode(id, found), kCrSuccess) << testing::PrintToString(id);
    EXPECT_EQ(found, c.node) << "each ID leads back to its node";
  }
  DevNode found = 99;
  EXPECT_EQ(tree.LocateNode(L"usb\\vid_0781&pid_5581\\4c53", found), kCrSuccess);
  EXPECT_EQ(found, 1u) << "instance IDs ignore the case of A to Z";
  EXPECT_EQ(tree.LocateNode(L"", found), kCrSuccess);
  EXPECT_EQ(found, 0u) << "an empty ID is the root's";
  EXPECT_EQ(tree.LocateNode(L"USB\\VID_FFFF&PID_FFFF\\0", found), kCrNoSuchDevnode);
}

TEST(SimulatedNodeIdentity, EjectedNodesCanNeitherBeNamedNorFound) {
  SimulatedDeviceTree tree = Machine();
  ASSERT_EQ(tree.RequestDeviceEject(1), kCrSuccess);
  std::wstring id;
  EXPECT_EQ(tree.DeviceId(2, id), kCrNoSuchDevnode) << "the disk went with its stick";
  DevNode found = 0;
  EXPECT_EQ(tree.LocateNode(L"USBSTOR\\DISK&VEN_SANDISK\\4C53&0", found), kCrNoSuchDevnode);
  const std::vector<std::wstring> all = tree.AllIds();
  EXPECT_EQ(all.size(), 11u) << "the list of every instance keeps the ones that are gone";
  EXPECT_EQ(all.front(), L"HTREE\\ROOT\\0");
}

TEST(SimulatedNodeIdentity, ServiceAndIdListsAreRegistryProperties) {
  SimulatedDeviceTree tree = Machine();
  struct Case {
    DevNode node;
    DeviceProperty property;
    winvalues::ConfigRet result;
    std::wstring whole;  // as PropertyValue gives it: each item with its NUL
    std::wstring first;  // as the seam reads it
  };
  using namespace std::string_literals;
  const Case cases[] = {
      {1, DeviceProperty::Service, kCrSuccess, L"USBSTOR", L"USBSTOR"},
      {1, DeviceProperty::HardwareId, kCrSuccess,
       L"USB\\VID_0781&PID_5581&REV_0100\0USB\\VID_0781&PID_5581\0"s,
       L"USB\\VID_0781&PID_5581&REV_0100"},
      {1, DeviceProperty::CompatibleIds, kCrSuccess,
       L"USB\\Class_08&SubClass_06&Prot_50\0USB\\Class_08\0"s, L"USB\\Class_08&SubClass_06&Prot_50"},
      {4, DeviceProperty::Service, kCrNoSuchValue, L"", L""},
      {4, DeviceProperty::HardwareId, kCrNoSuchValue, L"", L""},
  };
  for (const Case& c : cases) {
    std::wstring whole;
    std::wstring first;
    EXPECT_EQ(tree.PropertyValue(c.node, c.property, whole), c.result) << c.node;
    EXPECT_EQ(tree.GetRegistryProperty(c.node, c.property, 260, first), c.result) << c.node;
    if (c.result != kCrSuccess) continue;
    EXPECT_EQ(whole, c.whole);
    EXPECT_EQ(first, c.first);
  }
}

TEST(SimulatedNodeIdentity, RelationsNameOnlyPresentNodes) {
  SimulatedDeviceTree tree = Machine();
  std::vector<std::wstring> ids;
  ASSERT_EQ(tree.RemovalRelations(2, ids), kCrSuccess);
  EXPECT_EQ(ids, std::vector<std::wstring>{L"STORAGE\\VOLUME\\{A}#1"})
      << "a relation that names no present node is left out";
  ASSERT_EQ(tree.RemovalRelations(1, ids), kCrSuccess);
  EXPECT_TRUE(ids.empty());
  ASSERT_EQ(tree.BusRelations(3, ids), kCrSuccess);
  EXPECT_EQ(ids, (std::vector<std::wstring>{L"USBSTOR\\Disk&Ven_Generic-&Prod_SD\\0819&0",
                                            L"USBSTOR\\DISK&VEN_GENERIC-&PROD_CF\\0819&1"}));

  ASSERT_EQ(tree.RequestDeviceEject(8), kCrSuccess);
  ASSERT_EQ(tree.RemovalRelations(2, ids), kCrSuccess);
  EXPECT_TRUE(ids.empty()) << "an ejected volume is no relation any more";
  EXPECT_EQ(tree.RemovalRelations(8, ids), kCrNoSuchDevnode);

  EXPECT_EQ(tree.IdsOfService(L"USBSTOR"),
            (std::vector<std::wstring>{L"USB\\VID_0781&PID_5581\\4C53", L"USB\\VID_05E3&PID_0747\\0819"}))
      << "services compare without regard to case";
}

TEST(SimulatedNodeIdentity, DiskAndCdromNumbersBecomeDeviceInterfaces) {
  SimulatedDeviceTree tree = Machine();
  struct Case {
    const char* label;
    SetupClassGuid interfaceClass;
    std::vector<DeviceInterfacePath> interfaces;
  };
  const Case cases[] = {
      {"disk",
       kGuidDevinterfaceDisk,
       {{2, L"\\\\.\\PhysicalDrive1"}, {4, L"\\\\.\\PhysicalDrive4"}, {5, L"\\\\.\\PhysicalDrive5"}}},
      {"cdrom", kGuidDevinterfaceCdrom, {{6, L"\\\\.\\CdRom0"}}},
      {"floppy", kGuidDevinterfaceFloppy, {}},
      {"a setup class is no interface class", kGuidDevclassUsb, {}},
  };
  for (const Case& c : cases) EXPECT_EQ(tree.GetDeviceInterfaces(c.interfaceClass), c.interfaces) << c.label;

  ASSERT_EQ(tree.RequestDeviceEject(3), kCrSuccess);
  EXPECT_EQ(tree.GetDeviceInterfaces(kGuidDevinterfaceDisk),
            (std::vector<DeviceInterfacePath>{{2, L"\\\\.\\PhysicalDrive1"}}))
      << "the reader's slots went with it";
}

TEST(SimulatedNodeIdentity, NewClassWordsHaveTheirSetupClasses) {
  struct Case {
    const char* word;
    const wchar_t* guid;
  };
  const Case cases[] = {
      {"scsiadapter", L"4D36E97B-E325-11CE-BFC1-08002BE10318"},
      {"system", L"4D36E97D-E325-11CE-BFC1-08002BE10318"},
      {"cdrom", L"4D36E965-E325-11CE-BFC1-08002BE10318"},
      {"wpd", L"EEC5AD98-8080-425F-922A-DABF3DE3F69A"},
      {"ports", L"4D36E978-E325-11CE-BFC1-08002BE10318"},
  };
  for (const Case& c : cases) {
    const auto guid = SimulatedClassGuid(c.word);
    ASSERT_TRUE(guid) << c.word;
    EXPECT_EQ(guid, ParseClassGuid(c.guid)) << c.word;
    EXPECT_TRUE(SimulatedClassImage(*guid)) << c.word << " has a picture of its own";
  }
}

}  // namespace
