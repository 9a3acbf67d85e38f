// What the machine files of Windows XP and Windows 10 (Japanese and English) offer by name
// and what each name ejects: the same devices whatever the system's language, a UAS drive
// among the USB storage, no mass-storage node, hub or volume offered by itself, and on an
// XP laptop a CardBus 1394 card, the disk on its port and a PC Card, each alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "commandline/CommandLineListing.h"
#include "devices/DeviceEnumeration.h"
#include "devices/DeviceRemoval.h"
#include "devices/OfferedDevices.h"
#include "pnp/SystemNames.h"
#include "fakes/FakeDeviceTree.h"
#include "fakes/MachineFiles.h"
#include "settings/SettingsRecord.h"

namespace {

// Counts the preparations, so that a case can tell whether its ejects were prepared.
class CountingPreparation : public StorageEjectPreparation {
 public:
  void PrepareStorageEject() override { ++count; }
  unsigned count = 0;
};

struct Ejected {
  std::vector<std::wstring> ids;  // each node asked for once, sorted
  bool prepared = false;          // every request preceded by the storage preparation
};

Ejected Remove(const std::string& text, unsigned major, std::uint32_t kinds, std::wstring_view name) {
  FakeDeviceTree tree(text);
  CountingPreparation preparation;
  DeviceRemoval removal(tree, kinds, SystemNamesFor(major), preparation);
  removal.FindAndEject(name, nullptr, RemovalStartedBy::Hotkey);
  // An ejected node has no ID any more: read them from the tree as it was.
  FakeDeviceTree before(text);
  Ejected ejected;
  for (const DevNode node : tree.EjectedLines()) {
    std::wstring id;
    before.simulated().DeviceId(node, id);
    if (std::find(ejected.ids.begin(), ejected.ids.end(), id) == ejected.ids.end())
      ejected.ids.push_back(id);
  }
  std::sort(ejected.ids.begin(), ejected.ids.end());
  ejected.prepared = !tree.ejects().empty() && preparation.count == tree.ejects().size();
  return ejected;
}

Ejected Expected(const std::string& text, const std::vector<std::wstring>& pieces, bool prepared) {
  FakeDeviceTree tree(text);
  Ejected expected{{}, prepared};
  for (const std::wstring& piece : pieces) expected.ids.push_back(IdHolding(tree.simulated(), piece));
  std::sort(expected.ids.begin(), expected.ids.end());
  return expected;
}

struct NameCase {
  std::wstring name;   // as the listing offers it, in listing order
  std::wstring ejects; // a piece of the ejected node's instance ID
  bool prepared;       // the ejected node is USB mass storage
};

struct MachineCase {
  const char* file;
  unsigned major;
  std::vector<NameCase> names;
  std::vector<std::wstring> allStorage;  // what the all-storage entry ejects
  std::uint32_t kinds = kCommandLineDeviceKind;
};

const wchar_t kStick10[] = L"USB\\VID_0781&PID_5581\\";
const wchar_t kHardDisk10[] = L"USB\\VID_1058&PID_25A2\\";
const wchar_t kUas10[] = L"USB\\VID_0781&PID_558C\\";
const wchar_t kReader10[] = L"USB\\VID_05E3&PID_0747\\";
const wchar_t kStickBehindHub10[] = L"USB\\VID_090C&PID_1000\\";
const wchar_t kComposite10[] = L"USB\\VID_0D28&PID_0204\\";
const wchar_t kCompositeStorage10[] = L"USB\\VID_0D28&PID_0204&MI_00\\";
const wchar_t kPhone10[] = L"USB\\VID_04E8&PID_6860\\";
const wchar_t kMouse10[] = L"USB\\VID_046D&PID_C077\\";

std::vector<NameCase> Windows10Names(const std::wstring& inputDevice, const std::wstring& mouse) {
  return {
      {L"SanDisk Ultra USB Device", kStick10, true},
      {L"WD Elements 25A2 USB Device", kHardDisk10, true},
      {L"Generic- SD/MMC USB Device", kReader10, true},
      {L"Generic- Compact Flash USB Device", kReader10, true},
      {L"Generic- SM/xD-Picture USB Device", kReader10, true},
      {L"Generic- MS/MS-Pro USB Device", kReader10, true},
      {L"Samsung Flash Drive FIT USB Device", kStickBehindHub10, true},
      // The storage interface of a composite device is what its disk's name finds.
      {L"MBED VFS USB Device", kCompositeStorage10, true},
      {L"mbed Serial Port (COM3)", kComposite10, false},
      {inputDevice, kComposite10, false},
      {L"Galaxy S10", kPhone10, false},
      {L"SanDisk Extreme SSD SCSI Disk Device", kUas10, true},
      {mouse, kMouse10, false},
  };
}

const std::vector<std::wstring> kWindows10AllStorage = {
    kStick10, kHardDisk10, kUas10, kReader10, kStickBehindHub10, kCompositeStorage10};

const MachineCase kMachines[] = {
    {"windows10-ja.tree", 10, Windows10Names(L"USB 入力デバイス", L"HID 準拠マウス"),
     kWindows10AllStorage},
    {"windows10-en.tree", 10, Windows10Names(L"USB Input Device", L"HID-compliant mouse"),
     kWindows10AllStorage},
    {"windows-xp-ja.tree", 5,
     {
         {L"SanDisk U3 Cruzer Micro USB Device", L"USB\\VID_0781&PID_5406\\", true},
         {L"WD Ext HDD 1021 USB Device", L"USB\\VID_1058&PID_1021\\", true},
         {L"Generic USB SD Reader USB Device", L"USB\\VID_058F&PID_6362\\", true},
         {L"Generic USB CF Reader USB Device", L"USB\\VID_058F&PID_6362\\", true},
         {L"Generic USB SM Reader USB Device", L"USB\\VID_058F&PID_6362\\", true},
         {L"Generic USB MS Reader USB Device", L"USB\\VID_058F&PID_6362\\", true},
         {L"HID 準拠マウス", L"USB\\VID_046D&PID_C016\\", false},
     },
     {L"USB\\VID_0781&PID_5406\\", L"USB\\VID_1058&PID_1021\\", L"USB\\VID_058F&PID_6362\\"}},
    // Its card and its Thunderbolt disk are found through the drives' storage, not here;
    // its hubs and the WPD twin of the stick's volume are never offered, and network
    // adapters are no kind the command line sweeps.
    {"windows11-laptop-en.tree", 10,
     {
         {L"Kingston DataTraveler 2.0 USB Device", L"USB\\VID_0930&PID_6545\\", true},
         {L"TOSHIBA DVD/HD  X807616 USB Device", L"USB\\VID_0930&PID_0B09\\", true},
         {L"ASIX AX88179 USB 3.0 to Gigabit Ethernet Adapter", L"USB\\VID_0B95&PID_1790\\", false},
         // On the Thunderbolt enclosure's own USB controller: the stick, not the enclosure.
         {L"SanDisk Ultra Fit USB Device", L"USB\\VID_0781&PID_5583\\", true},
     },
     {L"USB\\VID_0930&PID_6545\\", L"USB\\VID_0930&PID_0B09\\", L"USB\\VID_0781&PID_5583\\"}},
    // A USB-C dock: what sits on its hub goes by its own name, the hub never; the card in
    // the laptop's own SD slot is no device the sweep finds.
    {"windows11-dock-en.tree", 10,
     {
         {L"Realtek USB GbE Family Controller", L"USB\\VID_0BDA&PID_8153\\", false},
         {L"Generic- SD/MMC USB Device", L"USB\\VID_0BDA&PID_0316\\", true},
         {L"USB Audio Device", L"USB\\VID_0D8C&PID_0014\\", false},
         // The HID collection below an interface: the request goes to the interface.
         {L"HID-compliant consumer control device", L"USB\\VID_0D8C&PID_0014&MI_03\\", false},
         // Offered through the hub above it: its own branch's claim rises one level only.
         {L"USB Composite Device", L"USB\\VID_0D8C&PID_0014\\", false},
     },
     {L"USB\\VID_0BDA&PID_0316\\"}},
    // Its CardBus controller is no device to eject (class PCMCIA holds only controllers):
    // the 1394 card goes by the names below it, the PC Card by the network kind; the disk
    // on the laptop's own 1394 port is a hot-plug disk, found through the drives' storage.
    {"windows-xp-laptop-en.tree", 5,
     {
         {L"1394 Net Adapter", L"PCI\\VEN_104C&DEV_8021&", false},
         {L"Oxford Semiconductor Ltd. Oxford IDE Device IEEE 1394 SBP2 Device",
          L"1394\\OXFORD_SEMICONDUCTOR_LTD.&OXFORD_IDE_DEVICE\\", false},
         {L"Megahertz CC10BT/2 Ethernet PC Card", L"PCMCIA\\MEGAHERTZ-CC10BT/2-BF05\\", false},
     },
     {},
     kCommandLineDeviceKind | kKindNet},
};

TEST(MachineDevices, EachMachineOffersItsDevicesUnderTheirOwnNames) {
  for (const MachineCase& machine : kMachines) {
    const std::string text = MachineText(machine.file);
    FakeDeviceTree tree(text);
    const SystemNames names = SystemNamesFor(machine.major);
    OfferedDevices offered(names);
    DeviceEnumeration(tree, machine.kinds, names, nullptr, offered).EnumerateDevices(false);
    ASSERT_GT(offered.Count(), 0u) << machine.file;
    EXPECT_TRUE(offered.IsAllStorageEntry(0)) << machine.file;
    std::vector<std::wstring> listed;
    for (std::size_t index = 1; index < offered.Count(); ++index)
      listed.push_back(offered.At(index).name);
    std::vector<std::wstring> expected;
    for (const NameCase& c : machine.names) expected.push_back(c.name);
    EXPECT_EQ(listed, expected) << machine.file;

    // "/list" offers the same names, after the storage description that stands for them all.
    expected.insert(expected.begin(), names.storageDesc);
    FakeDeviceTree again(text);
    EXPECT_EQ(CommandLineNames(again, names, machine.kinds), expected) << machine.file;
  }
}

TEST(MachineDevices, EachNameEjectsItsDeviceAndStorageIsPreparedFor) {
  for (const MachineCase& machine : kMachines) {
    const std::string text = MachineText(machine.file);
    for (const NameCase& c : machine.names) {
      const Ejected ejected = Remove(text, machine.major, machine.kinds, c.name);
      const Ejected expected = Expected(text, {c.ejects}, c.prepared);
      EXPECT_EQ(ejected.ids, expected.ids) << machine.file << " " << testing::PrintToString(c.name);
      EXPECT_EQ(ejected.prepared, expected.prepared)
          << machine.file << " " << testing::PrintToString(c.name);
    }
  }
}

TEST(MachineDevices, TheAllStorageEntryEjectsEveryUsbMassStorageDeviceInAnyLanguage) {
  for (const MachineCase& machine : kMachines) {
    const std::string text = MachineText(machine.file);
    const SystemNames names = SystemNamesFor(machine.major);
    const Ejected ejected = Remove(text, machine.major, machine.kinds, names.storageDesc);
    const Ejected expected = Expected(text, machine.allStorage, true);
    EXPECT_EQ(ejected.ids, expected.ids) << machine.file;
    EXPECT_EQ(ejected.prepared, !machine.allStorage.empty()) << machine.file;
  }
}

}  // namespace
