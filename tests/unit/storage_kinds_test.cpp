// The card out of its slot and the hot-plug disks: the eject sequence of a medium and how
// each failure ends it, which slots and disks a machine offers, and what their names and
// letters remove.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "devices/CardSlots.h"
#include "devices/DeviceNames.h"
#include "devices/HotPlugDisks.h"
#include "devices/KindRemoval.h"
#include "devices/MediumEjection.h"
#include "devices/SystemNames.h"
#include "fakes/FakeDeviceTree.h"
#include "fakes/MachineFiles.h"
#include "fakes/TreeDriveStorage.h"
#include "settings/SettingsRecord.h"

namespace {

using namespace winvalues;
using Steps = std::vector<std::string>;

class NoPreparation : public StorageEjectPreparation {
 public:
  void PrepareStorageEject() override {}
};

// The laptop's drives; H: on the Windows 10 machine is the SD slot of a four-slot USB reader.
struct Machine {
  explicit Machine(const char* file, std::map<wchar_t, std::pair<unsigned, std::wstring>> letters)
      : tree(MachineText(file)), storage(tree, Drives(letters)) {
    for (const auto& [letter, drive] : letters) storage.media[letter];
  }
  std::map<wchar_t, TreeDriveStorage::Drive> Drives(
      const std::map<wchar_t, std::pair<unsigned, std::wstring>>& letters) {
    std::map<wchar_t, TreeDriveStorage::Drive> drives;
    for (const auto& [letter, drive] : letters)
      drives[letter] = {drive.first, IdHolding(tree.simulated(), drive.second)};
    return drives;
  }
  std::vector<std::wstring> Names(const std::vector<DevNode>& nodes) {
    std::vector<std::wstring> names;
    for (const DevNode node : nodes) names.push_back(GetDeviceName(tree, node));
    return names;
  }
  FakeDeviceTree tree;
  TreeDriveStorage storage;
};

Machine Laptop() {
  return Machine("windows11-laptop-en.tree",
                 {{L'C', {kDriveFixed, L"{1B7A6C40-2F31-11EE-A1B2-806E6F6E6963}#0000000006500000"}},
                  {L'D', {kDriveRemovable, L"_??_RSPCIESTOR"}},
                  {L'E', {kDriveFixed, L"{3C9E1A52"}},
                  {L'F', {kDriveRemovable, L"VOLUME\\_??_USBSTOR#DISK&VEN_KINGSTON"}}});
}

Machine Windows10() {
  return Machine("windows10-ja.tree", {{L'E', {kDriveRemovable, L"_??_USBSTOR#DISK&VEN_SANDISK"}},
                                       {L'H', {kDriveRemovable, L"_??_USBSTOR#DISK&VEN_GENERIC-&PROD_SD"}}});
}

TEST(MediumEjection, EachStepInOrderAndTheFirstFailureEndsIt) {
  const Steps all = {"lock", "dismount", "allow", "eject"};
  struct Errors {
    std::uint32_t open = 0, lock = 0, dismount = 0, allow = 0, eject = 0;
  };
  const struct {
    const char* what;
    Errors errors;
    MediumOutcome outcome;
    Steps asked;
  } cases[] = {
      {"every step done", {}, MediumOutcome::Ejected, all},
      {"a slot without a lock of its own", {0, 0, 0, kErrorInvalidFunction, 0}, MediumOutcome::Ejected, all},
      {"files open: access denied", {0, kErrorAccessDenied}, MediumOutcome::InUse, {"lock"}},
      {"files open: sharing violation", {0, kErrorSharingViolation}, MediumOutcome::InUse, {"lock"}},
      {"an empty slot", {0, kErrorNotReady}, MediumOutcome::NoMedium, {"lock"}},
      {"cannot be opened", {kErrorNoMediaInDrive}, MediumOutcome::NoMedium, {}},
      {"a volume the system keeps", {kErrorAccessDenied}, MediumOutcome::Failed, {}},
      {"dismount refused, as Wine does", {0, 0, kErrorNotSupported}, MediumOutcome::Failed, {"lock", "dismount"}},
      {"removal kept locked", {0, 0, 0, kErrorNotSupported}, MediumOutcome::Failed, {"lock", "dismount", "allow"}},
      {"eject refused", {0, 0, 0, 0, kErrorNotSupported}, MediumOutcome::Failed, all},
      {"the card pulled meanwhile", {0, 0, 0, 0, kErrorNoMediaInDrive}, MediumOutcome::NoMedium, all},
  };
  for (const auto& c : cases) {
    Machine laptop = Laptop();
    MediumScript& script = laptop.storage.media[L'D'];
    script = {c.errors.open, c.errors.lock, c.errors.dismount, c.errors.allow, c.errors.eject, {}};
    EXPECT_EQ(EjectMedium(laptop.storage, L'D'), c.outcome) << c.what;
    EXPECT_EQ(laptop.storage.media[L'D'].asked, c.asked) << c.what;
  }
  // A fixed disk or a drive that is not there is never opened.
  Machine laptop = Laptop();
  for (const wchar_t letter : {L'E', L'Q'}) {
    EXPECT_EQ(EjectMedium(laptop.storage, letter), MediumOutcome::NoMedium);
    EXPECT_EQ(laptop.storage.media[letter].asked, Steps{});
  }
}

TEST(StorageKinds, SlotsAreInsideTheCaseOrOneOfSeveralAndHotPlugDisksNeverTheSystems) {
  Machine laptop = Laptop();
  const auto slots = FindCardSlots(laptop.tree, laptop.storage);
  ASSERT_EQ(slots.size(), 1u);  // the stick on F: is one disk of its own, no slot
  EXPECT_EQ(slots[0].letter, L'D');
  EXPECT_EQ(GetDeviceName(laptop.tree, slots[0].disk), L"SDXC Card");

  std::vector<DevNode> disks;
  for (const HotPlugDisk& disk : FindHotPlugDisks(laptop.tree, laptop.storage)) disks.push_back(disk.disk);
  EXPECT_EQ(laptop.Names(disks), std::vector<std::wstring>{L"NVMe Samsung SSD 950"});
  laptop.storage.systemDisks = {{kFileDeviceDisk, 2}};  // say Windows runs from the enclosure
  EXPECT_TRUE(FindHotPlugDisks(laptop.tree, laptop.storage).empty());

  Machine windows10 = Windows10();
  const auto readerSlots = FindCardSlots(windows10.tree, windows10.storage);
  ASSERT_EQ(readerSlots.size(), 1u);
  EXPECT_EQ(readerSlots[0].letter, L'H');
  EXPECT_TRUE(FindHotPlugDisks(windows10.tree, windows10.storage).empty()) << "USB disks are USB's";
}

TEST(StorageKinds, NamesAndLettersRemoveWhatTheListOfferedUnderThem) {
  const struct {
    const char* what;
    bool windows10;
    std::uint32_t kinds;
    std::wstring name;        // removal by name, else by `letter`
    wchar_t letter;
    Steps cardSteps;          // asked of the drive's medium (D: on the laptop, H: on Windows 10)
    std::wstring ejectedId;   // a piece of the one node asked to eject; empty: none
  } cases[] = {
      {"an internal slot by name", false, kCommandLineDeviceKind, L"SDXC Card", 0,
       {"lock", "dismount", "allow", "eject"}, L""},
      {"an internal slot by letter", false, kCommandLineDeviceKind, L"", L'D',
       {"lock", "dismount", "allow", "eject"}, L""},
      {"a USB reader's slot by name", true, kCommandLineDeviceKind, L"Generic- SD/MMC USB Device", 0,
       {"lock", "dismount", "allow", "eject"}, L""},
      {"without the card kind, the reader", true, 0x1F, L"Generic- SD/MMC USB Device", 0, {},
       L"USB\\VID_05E3&PID_0747\\"},
      {"the reader by its letter", true, 0x1F, L"", L'H', {}, L"USB\\VID_05E3&PID_0747\\"},
      {"a Thunderbolt disk by name", false, kCommandLineDeviceKind, L"NVMe Samsung SSD 950", 0, {},
       L"PCI\\VEN_8086&DEV_15EF&SUBSYS_00000000&REV_06\\5&"},
      {"a Thunderbolt disk by letter", false, 0, L"", L'E', {}, L"PCI\\VEN_8086&DEV_15EF&SUBSYS_00000000&REV_06\\5&"},
      {"without the hot-plug kind, nothing", false, 0x1F, L"NVMe Samsung SSD 950", 0, {}, L""},
  };
  for (const auto& c : cases) {
    Machine machine = c.windows10 ? Windows10() : Laptop();
    NoPreparation preparation;
    DeviceRemoval removal(machine.tree, c.kinds, SystemNamesFor(10), preparation);
    KindRemoval kinds(removal, machine.tree, machine.storage, c.kinds, preparation);
    // Read first: an ejected node leaves the tree.
    std::vector<DevNode> expected, ejected;
    const std::wstring id = c.ejectedId.empty() ? L"" : IdHolding(machine.tree.simulated(), c.ejectedId);
    for (const DevNode node : machine.tree.simulated().PresentNodes()) {
      std::wstring own;
      if (machine.tree.GetDeviceInstanceId(node, own) == kCrSuccess && own == id) expected.push_back(node);
    }
    tag_device_hotkey_info counted;
    const bool removed = c.name.empty() ? kinds.RemoveDriveHolders(c.letter)
                                        : kinds.RemoveByName(c.name, &counted, RemovalRoad::CommandLine);
    EXPECT_EQ(removed, !c.cardSteps.empty() || !c.ejectedId.empty()) << c.what;
    EXPECT_EQ(machine.storage.media[c.windows10 ? L'H' : L'D'].asked, c.cardSteps) << c.what;
    for (const auto& eject : machine.tree.ejects()) ejected.push_back(eject.node);
    EXPECT_EQ(ejected, expected) << c.what;
  }
}

TEST(StorageKinds, ALockRefusedIsToldAsADeviceInUseWithItsLetter) {
  Machine laptop = Laptop();
  laptop.storage.media[L'D'].lock = kErrorAccessDenied;
  NoPreparation preparation;
  DeviceRemoval removal(laptop.tree, kCommandLineDeviceKind, SystemNamesFor(10), preparation);
  KindRemoval kinds(removal, laptop.tree, laptop.storage, kCommandLineDeviceKind, preparation);
  EXPECT_FALSE(kinds.EjectCard(L'D', nullptr));
  EXPECT_EQ(kinds.Tally(), (RemovalTally{1, 0}));
  ASSERT_EQ(kinds.Vetoes().size(), 1u);
  EXPECT_EQ(kinds.Vetoes()[0].deviceName, L"SDXC Card (D:)");
  EXPECT_EQ(kinds.Vetoes()[0].veto.type, kPnpVetoOutstandingOpen);
}

TEST(StorageKinds, TheSystemDiskIsNeverEjectedByItsLetter) {
  Machine laptop = Laptop();
  laptop.storage.systemDisks = {{kFileDeviceDisk, 2}};
  NoPreparation preparation;
  DeviceRemoval removal(laptop.tree, 0, SystemNamesFor(10), preparation);
  KindRemoval kinds(removal, laptop.tree, laptop.storage, 0, preparation);
  EXPECT_FALSE(kinds.RemoveDriveHolders(L'E'));
  EXPECT_TRUE(laptop.tree.ejects().empty());
}

}  // namespace
