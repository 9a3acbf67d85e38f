// Telling USB mass storage, hubs and volumes by what Windows does not translate (service,
// setup class) besides the Japanese descriptions, and what listing and removal make of it
// on a system of another language.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "devices/DeviceEnumeration.h"
#include "devices/DeviceRemoval.h"
#include "pnp/NodeRoles.h"
#include "devices/OfferedDevices.h"
#include "fakes/FakeDeviceTree.h"

namespace {

class NoPreparation : public StorageEjectPreparation {
 public:
  void PrepareStorageEject() override {}
};

TEST(NodeRoles, ServiceClassAndDescriptionTellWhatANodeIs) {
  FakeDeviceTree tree(R"(usb desc="USB Mass Storage Device" service="USBSTOR"
usb desc="x" service="usbstor"
scsiadapter desc="UAS" service="UASPSTOR"
usb desc="USB 大容量記憶装置"
usb desc="USB 大容量記憶装置デバイス"
usb desc="stick" service="USBSTOR2"
usb desc="Generic USB Hub" service="USBHUB3"
usb desc="Root Hub" service="UsbHub"
usb desc="hub" service="usbhub3 "
volume desc="Generic volume"
usb desc="汎用ボリューム"
diskdrive desc="Disk drive" service="disk"
)");
  struct Case {
    DevNode line;
    bool storageService;
    bool storage;  // on a system of major version 10
    bool hub;
    bool volume;
  };
  const Case cases[] = {
      {1, true, true, false, false},   {2, true, true, false, false},
      {3, true, true, false, false},   {4, false, true, false, false},
      {5, false, false, false, false}, {6, false, false, false, false},
      {7, false, false, true, false},  {8, false, false, true, false},
      {9, false, false, false, false}, {10, false, false, false, true},
      {11, false, false, false, true}, {12, false, false, false, false},
  };
  const SystemNames names = SystemNamesFor(10);
  for (const Case& c : cases) {
    std::wstring desc;
    tree.GetRegistryProperty(c.line, DeviceProperty::DeviceDesc, 260, desc);
    EXPECT_EQ(HasMassStorageService(tree, c.line), c.storageService) << "line " << c.line;
    EXPECT_EQ(IsUsbMassStorage(tree, c.line, desc, names), c.storage) << "line " << c.line;
    EXPECT_EQ(HasHubService(tree, c.line), c.hub) << "line " << c.line;
    EXPECT_EQ(IsVolumeNode(tree, c.line), c.volume) << "line " << c.line;
  }
}

// An English system before Vista: a stick whose medium carries a volume below its disk, an
// empty hub, a mass-storage node without a disk, a SCSI adapter that is no USB device and
// a UAS drive.
constexpr const char* kEnglishTree = R"(usb desc="USB Mass Storage Device" service="USBSTOR" removable disableable
  diskdrive friendly="Stick USB Device"
    volume desc="Generic volume"
usb desc="Generic USB Hub" service="usbhub" removable disableable
usb desc="USB Mass Storage Device" service="USBSTOR" removable disableable
scsiadapter desc="RAID Controller" service="megasas" removable disableable
  diskdrive friendly="RAID Disk"
scsiadapter desc="USB Attached SCSI (UAS) Mass Storage Device" service="UASPStor" removable disableable
  diskdrive friendly="SSD SCSI Disk Device"
)";

TEST(NodeRoles, AnEnglishSystemListsDisksNotStorageNodesHubsOrVolumes) {
  struct Case {
    std::uint32_t kind;
    std::vector<std::wstring> listed;
  };
  const Case cases[] = {
      {kKindUsb, {L"すべての USB 大容量記憶装置デバイス", L"Stick USB Device", L"SSD SCSI Disk Device"}},
      {kKindPcmcia | kKindUsbHub, {}},
  };
  const SystemNames names = SystemNamesFor(5);
  for (const Case& c : cases) {
    FakeDeviceTree tree(kEnglishTree);
    OfferedDevices offered(names);
    DeviceEnumeration(tree, c.kind, names, nullptr, offered).EnumerateDevices(false);
    std::vector<std::wstring> listed;
    for (std::size_t index = 0; index < offered.Count(); ++index) listed.push_back(offered.At(index).name);
    EXPECT_EQ(listed, c.listed) << "kind " << c.kind;
  }
}

TEST(NodeRoles, AnEnglishSystemRemovesByNameAndByTheStorageDescription) {
  struct Case {
    std::wstring name;
    std::vector<int> ejected;
  };
  const Case cases[] = {
      {L"Stick USB Device", {1}},
      {L"SSD SCSI Disk Device", {8}},
      {L"RAID Disk", {}},  // a SCSI adapter of no USB device is not swept
      {L"USB 大容量記憶装置デバイス", {1, 5, 8}},
      // A Japanese system's description of another version stands for nothing here.
      {L"USB 大容量記憶装置", {}},
  };
  for (const Case& c : cases) {
    FakeDeviceTree tree(kEnglishTree);
    NoPreparation preparation;
    DeviceRemoval(tree, kKindUsb, SystemNamesFor(5), preparation)
        .FindAndEject(c.name, nullptr, RemovalStartedBy::Hotkey);
    EXPECT_EQ(tree.EjectedLines(), c.ejected) << testing::PrintToString(c.name);
  }
}

}  // namespace
