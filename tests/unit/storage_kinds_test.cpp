// The card out of its slot and the hot-plug disks: the eject sequence of a medium and how
// each failure ends it, and what the names and letters of slots and disks remove.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "pnp/DeviceNames.h"
#include "devices/OfferedDevices.h"
#include "devices/EveryKindRemoval.h"
#include "drives/MediumEjection.h"
#include "commandline/WithheldMediaDrives.h"
#include "fakes/FakeDeviceTree.h"
#include "fakes/MachineFiles.h"
#include "fakes/MachineLetters.h"
#include "fakes/TreeDrives.h"
#include "resident/EjectMenu.h"
#include "settings/SettingsRecord.h"

namespace {

using namespace winvalues;
using Steps = std::vector<std::string>;
const Steps kAllSteps = {"lock", "dismount", "allow", "eject"};

class NoPreparation : public StorageEjectPreparation {
 public:
  void PrepareStorageEject() override {}
};

// The laptop: D: its internal reader's card, E: its Thunderbolt disk, F: a stick.
// Windows 10: E: a stick, H: the SD slot of a four-slot USB reader, M: its empty CF slot.
struct Machine {
  explicit Machine(bool windows10)
      : tree(MachineText(File(windows10))),
        storage(tree, MachineDrives(tree, kMachineLetters.at(File(windows10)))) {
    for (const wchar_t letter : {L'D', L'E', L'F', L'H'}) storage.media[letter];
    storage.media[L'M'].lock = kErrorNotReady;  // Windows 10 keeps an empty slot's letter
  }
  static std::string File(bool windows10) {
    return windows10 ? "windows10-ja.tree" : "windows11-laptop-en.tree";
  }
  FakeDeviceTree tree;
  TreeDrives storage;
  NoPreparation preparation;
};

TEST(MediumEjection, EachStepInOrderAndTheFirstFailureEndsIt) {
  const struct {
    const char* what;
    std::uint32_t open, lock, dismount, allow, eject;
    MediumOutcome outcome;
    Steps asked;
  } cases[] = {
      {"every step done", 0, 0, 0, 0, 0, MediumOutcome::Ejected, kAllSteps},
      {"a slot without a lock of its own", 0, 0, 0, kErrorInvalidFunction, 0, MediumOutcome::Ejected, kAllSteps},
      {"files open", 0, kErrorAccessDenied, 0, 0, 0, MediumOutcome::InUse, {"lock"}},
      {"an empty slot", 0, kErrorNotReady, 0, 0, 0, MediumOutcome::NoMedium, {"lock"}},
      {"cannot be opened", kErrorAccessDenied, 0, 0, 0, 0, MediumOutcome::Failed, {}},
      {"dismount refused, as Wine does", 0, 0, kErrorNotSupported, 0, 0, MediumOutcome::Failed, {"lock", "dismount"}},
      {"the card pulled meanwhile", 0, 0, 0, 0, kErrorNoMediaInDrive, MediumOutcome::NoMedium, kAllSteps},
  };
  for (const auto& c : cases) {
    Machine laptop(false);
    laptop.storage.media[L'D'] = {c.open, c.lock, c.dismount, c.allow, c.eject, {}};
    const MediumResult result = EjectMedium(laptop.storage, L'D');
    EXPECT_EQ(result.outcome, c.outcome) << c.what;
    // The error that stands is the step's that ended it; a slot without a lock goes on.
    const std::uint32_t allow = c.allow == kErrorInvalidFunction ? 0 : c.allow;
    std::uint32_t error = 0;
    for (const std::uint32_t step : {c.open, c.lock, c.dismount, allow, c.eject})
      if (error == 0) error = step;
    EXPECT_EQ(result.error, error) << c.what;
    EXPECT_EQ(laptop.storage.media[L'D'].asked, c.asked) << c.what;
  }
  Machine laptop(false);  // a fixed disk or no drive at all is never opened
  for (const wchar_t letter : {L'E', L'Q'}) EXPECT_EQ(EjectMedium(laptop.storage, letter).outcome, MediumOutcome::NoMedium);
  EXPECT_EQ(laptop.storage.media[L'E'].asked, Steps{});
}

TEST(MediumEjection, ALockRefusedForOpenFilesIsTriedAgainForAboutTwoSecondsUnlessStopped) {
  const struct {
    const char* what;
    unsigned refusals;     // the lock is refused this often, then granted
    bool pauses;           // a pause is given
    unsigned stopAfter;    // pauses before the stop is asked (0: never)
    MediumOutcome outcome;
    unsigned locks;
  } cases[] = {
      {"the holder lets go", 3, true, 0, MediumOutcome::Ejected, 4},
      {"the holder stays", 100, true, 0, MediumOutcome::InUse, 20},
      {"stopped meanwhile", 100, true, 2, MediumOutcome::InUse, 2},
      {"no pause: one try", 3, false, 0, MediumOutcome::InUse, 1},
  };
  for (const auto& c : cases) {
    Machine laptop(false);
    MediumScript& script = laptop.storage.media[L'D'];
    script.lock = kErrorSharingViolation;
    script.lockRefusals = c.refusals;
    std::uint32_t paused = 0;
    unsigned pauses = 0;
    const LockRetryPause pause = [&](std::uint32_t ms) {
      paused += ms;
      return c.stopAfter == 0 || ++pauses < c.stopAfter;
    };
    EXPECT_EQ(EjectMedium(laptop.storage, L'D', c.pauses ? pause : LockRetryPause{}).outcome, c.outcome) << c.what;
    EXPECT_EQ(std::count(script.asked.begin(), script.asked.end(), "lock"), c.locks) << c.what;
    EXPECT_LE(paused, 2000u) << c.what;
  }
}

TEST(StorageKinds, NamesAndLettersRemoveWhatTheListOfferedUnderThem) {
  const wchar_t kReader[] = L"USB\\VID_05E3&PID_0747\\";
  const wchar_t kThunderbolt[] = L"PCI\\VEN_8086&DEV_15EF&SUBSYS_00000000&REV_06\\4&";
  const struct {
    const char* what;
    bool windows10;
    std::uint32_t kinds;
    std::wstring name;  // removal by name, else by `letter`
    wchar_t letter;
    int system;         // the disk Windows runs from; -1: it cannot be learned
    Steps cardSteps;    // asked of the card: D: on the laptop, H: on Windows 10
    std::wstring ejected;  // a piece of the one node asked to eject; empty: none
  } cases[] = {
      {"an internal slot by name", false, kCommandLineDeviceKind, L"SDXC Card", 0, 0, kAllSteps, L""},
      {"an internal slot by letter", false, 0, L"", L'D', 0, kAllSteps, L""},
      {"a USB reader's slot by name", true, kCommandLineDeviceKind, L"Generic- SD/MMC USB Device", 0, 0, kAllSteps, L""},
      {"an empty slot by name: not found", true, kCommandLineDeviceKind, L"Generic- Compact Flash USB Device", 0, 0, {}, L""},
      {"without the card kind, the reader", true, 0x1F, L"Generic- SD/MMC USB Device", 0, 0, {}, kReader},
      {"the reader by its letter", true, kCommandLineDeviceKind, L"", L'H', 0, {}, kReader},
      {"a Thunderbolt disk by name", false, kCommandLineDeviceKind, L"NVMe Samsung SSD 950", 0, 0, {}, kThunderbolt},
      {"a Thunderbolt disk by letter", false, 0, L"", L'E', 0, {}, kThunderbolt},
      {"without the hot-plug kind, nothing", false, 0x1F, L"NVMe Samsung SSD 950", 0, 0, {}, L""},
      {"the system's disk by name", false, kCommandLineDeviceKind, L"NVMe Samsung SSD 950", 0, 2, {}, L""},
      {"the system's disk by letter", false, 0, L"", L'E', 2, {}, L""},
      {"a USB reader's slot by pattern: the card", true, kCommandLineDeviceKind, L"Generic- SD/MMC*", 0, 0, kAllSteps, L""},
      {"a Thunderbolt disk by pattern", false, kCommandLineDeviceKind, L"NVMe Samsung*", 0, 0, {}, kThunderbolt},
      {"Windows run from a stick", false, kCommandLineDeviceKind, L"Kingston DataTraveler 2.0 USB Device", 0, 3, {}, L""},
      {"not knowing the system's disk", false, kCommandLineDeviceKind, L"Kingston*", 0, -1, {}, L""},
  };
  for (const auto& c : cases) {
    Machine machine(c.windows10);
    machine.storage.systemDisks.clear();
    if (c.system >= 0) machine.storage.systemDisks = {{kFileDeviceDisk, static_cast<std::uint32_t>(c.system)}};
    // Read first: an ejected node leaves the tree.
    std::vector<DevNode> expected, ejected;
    for (const DevNode node : machine.tree.simulated().PresentNodes()) {
      std::wstring id;
      if (!c.ejected.empty() && machine.tree.GetDeviceInstanceId(node, id) == kCrSuccess &&
          id == IdHolding(machine.tree.simulated(), c.ejected))
        expected.push_back(node);
    }
    EveryKindRemoval kinds(machine.tree, machine.storage, c.kinds, SystemNamesFor(10), machine.preparation);
    tag_device_hotkey_info counted;
    const bool removed = c.name.empty() ? kinds.RemoveDriveHolders(c.letter)
                                        : kinds.RemoveByName(c.name, &counted, RemovalStartedBy::CommandLine);
    EXPECT_EQ(removed, !c.cardSteps.empty() || !c.ejected.empty()) << c.what;
    EXPECT_EQ(counted.reject_times, c.name.empty() || !removed ? 0 : 1) << c.what;
    EXPECT_EQ(machine.storage.media[c.windows10 ? L'H' : L'D'].asked, c.cardSteps) << c.what;
    for (const auto& eject : machine.tree.ejects()) ejected.push_back(eject.node);
    EXPECT_EQ(ejected, expected) << c.what;
  }
}

TEST(StorageKinds, SlotsComeFirstAsCardsAndHotPlugDisksLast) {
  const struct {
    bool windows10;
    std::vector<std::pair<std::wstring, std::uint32_t>> rows;  // some of the rows, in order
  } cases[] = {
      // A slot with no letter stays a disk of the USB reader.
      {true, {{L"Generic- SD/MMC USB Device", kKindCard}, {L"Generic- Compact Flash USB Device", kKindCard},
              {L"SanDisk Ultra USB Device", kKindUsb}, {L"Generic- SM/xD-Picture USB Device", kKindUsb}}},
      {false, {{L"SDXC Card", kKindCard}, {L"Kingston DataTraveler 2.0 USB Device", kKindUsb},
               {L"NVMe Samsung SSD 950", kKindHotPlug}}},
  };
  for (const auto& c : cases) {
    Machine machine(c.windows10);
    OfferedDevices offered(SystemNamesFor(10));
    DeviceEnumeration(machine.tree, 0xFF, offered.Names(), nullptr, offered)
        .ListStorageFrom(&machine.storage)
        .EnumerateDevices(false);
    std::vector<std::pair<std::wstring, std::uint32_t>> rows;
    for (std::size_t i = 1; i < offered.Count(); ++i)
      if (std::any_of(c.rows.begin(), c.rows.end(), [&](const auto& row) { return row.first == offered.At(i).name; }))
        rows.emplace_back(offered.At(i).name, offered.At(i).device_kind);
    EXPECT_EQ(rows, c.rows);
  }
}

TEST(StorageKinds, ADiskOnTheLaptopsOwnFireWirePortIsAHotPlugDiskOneOnACardIsThe1394Kinds) {
  FakeDeviceTree tree(MachineText("windows-xp-laptop-en.tree"));
  TreeDrives storage(tree, {{L'C', {kDriveFixed, IdHolding(tree.simulated(), L"SIGNATURE7A3B7A3B")}},
                                  {L'F', {kDriveFixed, IdHolding(tree.simulated(), L"SIGNATURE4E2A9C10")}}});
  storage.systemDisks = {{kFileDeviceDisk, 0}};
  OfferedDevices offered(SystemNamesFor(5));
  DeviceEnumeration(tree, 0xFF, offered.Names(), nullptr, offered).ListStorageFrom(&storage).EnumerateDevices(false);
  std::vector<std::pair<std::wstring, std::uint32_t>> rows;
  for (std::size_t i = 1; i < offered.Count(); ++i) rows.emplace_back(offered.At(i).name, offered.At(i).device_kind);
  EXPECT_EQ(rows, (std::vector<std::pair<std::wstring, std::uint32_t>>{
                      {L"1394 Net Adapter", kKind1394},
                      {L"Oxford Semiconductor Ltd. Oxford IDE Device IEEE 1394 SBP2 Device", kKind1394},
                      {L"Megahertz CC10BT/2 Ethernet PC Card", kKindNet},
                      {L"Dotop 1394 USB COMBO IEEE 1394 SBP2 Device", kKindHotPlug}}));

  NoPreparation preparation;
  EveryKindRemoval kinds(tree, storage, kCommandLineDeviceKind, SystemNamesFor(5), preparation);
  const std::wstring disk = IdHolding(tree.simulated(), L"1394\\DOTOP&1394_USB_COMBO\\");
  EXPECT_TRUE(kinds.RemoveByName(L"Dotop 1394 USB COMBO IEEE 1394 SBP2 Device", nullptr, RemovalStartedBy::CommandLine));
  ASSERT_EQ(tree.ejects().size(), 1u);
  std::wstring id;
  FakeDeviceTree(MachineText("windows-xp-laptop-en.tree")).simulated().DeviceId(tree.ejects()[0].node, id);
  EXPECT_EQ(id, disk) << "the disk's own 1394 node, not the laptop's controller";
}

TEST(StorageKinds, ALockRefusedIsToldAsADeviceInUseWithItsLetter) {
  Machine laptop(false);
  laptop.storage.media[L'D'].lock = kErrorAccessDenied;
  EveryKindRemoval kinds(laptop.tree, laptop.storage, kCommandLineDeviceKind, SystemNamesFor(10), laptop.preparation);
  EXPECT_FALSE(kinds.EjectCard(L'D', nullptr));
  EXPECT_EQ(kinds.Tally(), (RemovalTally{1, 0}));
  ASSERT_EQ(kinds.Vetoes().size(), 1u);
  EXPECT_EQ(kinds.Vetoes()[0].deviceName, L"SDXC Card (D:)");
  EXPECT_EQ(kinds.Vetoes()[0].veto.type, kPnpVetoOutstandingOpen);
}

TEST(StorageKinds, WhatIfWalksTheCardsRemovalAndTouchesNoMedium) {
  Machine laptop(false);
  WithheldMediaDrives withheld(laptop.storage);
  EveryKindRemoval kinds(laptop.tree, withheld, kCommandLineDeviceKind, SystemNamesFor(10), laptop.preparation);
  EXPECT_TRUE(kinds.RemoveDriveHolders(L'D'));  // the reader inside the case: its card
  EXPECT_EQ(withheld.Withheld(), std::vector<wchar_t>{L'D'});
  EXPECT_TRUE(laptop.storage.media[L'D'].asked.empty());
}

TEST(StorageKinds, TheEjectMenuOffersASlotOnlyWhileItHoldsACard) {
  OfferedDevices offered(SystemNamesFor(10));
  tag_device_hotkey_info card;
  card.name = L"SDXC Card";
  card.device_kind = kKindCard;
  offered.Offer(card, false);
  const std::vector<tag_device_hotkey_info> table = {card};  // registered too: one item at most
  for (const bool present : {true, false}) {
    const std::vector<LabelledDrive> drives = {{{L'D', {L"SDXC Card"}}, L"", present}};
    EXPECT_EQ(BuildEjectMenu({table, offered, false, drives}, SystemNamesFor(10)).size(), present ? 1u : 0u);
  }
}

}  // namespace
