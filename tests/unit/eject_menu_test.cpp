// The tray icon's eject menu over whole machines: which devices it offers now, in which
// order, under which texts, with which drives, and what each item removes.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "devices/DeviceEnumeration.h"
#include "devices/UsbStoragePresence.h"
#include "fakes/FakeDeviceTree.h"
#include "fakes/MachineFiles.h"
#include "fakes/TreeDrives.h"
#include "resident/EjectMenu.h"
#include "settings/RegistrationStore.h"
#include "settings/SettingsRecord.h"

namespace {

using winvalues::kDriveFixed;
using winvalues::kDriveRemovable;

const SystemNames kVista = SystemNamesFor(10);

struct MachineDrive {
  wchar_t letter;
  unsigned type;
  std::wstring volume;  // a piece of the volume's instance ID
  std::wstring label;
};

// The Windows 10 machines' drives, with labels a user might give them.
const std::vector<MachineDrive> kWindows10Drives = {
    {L'C', kDriveFixed, L"VOLUME\\{9A9F2B60-1AB9-11EA-A3D4-806E6F6E6963}#0000000006500000", L"Windows"},
    {L'E', kDriveRemovable, L"VOLUME\\_??_USBSTOR#DISK&VEN_SANDISK", L"写真"},
    {L'F', kDriveFixed, L"VOLUME\\{5D2A37C1-6B1F-11EB-9C3A-806E6F6E6963}#0000000000100000", L"Backup & Sync"},
    {L'I', kDriveFixed, L"VOLUME\\{5D2A37C1-6B1F-11EB-9C3A-806E6F6E6963}#0000007470500000", L""},
    {L'G', kDriveFixed, L"VOLUME\\{8F0E4C12", L"SSD"},
    {L'H', kDriveRemovable, L"VOLUME\\_??_USBSTOR#DISK&VEN_GENERIC-&PROD_SD", L"CAMERA"},
    {L'J', kDriveRemovable, L"VOLUME\\_??_USBSTOR#DISK&VEN_SAMSUNG", L""},
    {L'K', kDriveRemovable, L"VOLUME\\_??_USBSTOR#DISK&VEN_MBED", L"MBED"},
};

tag_device_hotkey_info Registration(const std::wstring& name, const std::wstring& key, std::uint32_t hotkey) {
  tag_device_hotkey_info record;
  record.name = name;
  record.key = key;
  record.hotkey = hotkey;
  return record;
}

// Ctrl+Alt+F5 and Shift+F9 as the hotkey control encodes them.
constexpr std::uint32_t kCtrlAltF5 = 0x060074;
constexpr std::uint32_t kShiftF9 = 0x010078;

// The machine's drives as the menu reads them: each medium there unless `present` says
// otherwise; `asked` the letters whose label was read.
struct LabelledTreeDrives : TreeDrives {
  using TreeDrives::TreeDrives;
  std::map<wchar_t, std::optional<bool>> present;
  std::map<wchar_t, std::wstring> labels;
  std::wstring asked;
  std::optional<bool> MediumPresent(wchar_t l) override { return present.contains(l) ? present[l] : true; }
  std::optional<std::wstring> VolumeLabel(wchar_t l) override { return asked += l, labels[l]; }
};

class Machine {
 public:
  // `unplugged`: instance IDs of devices ejected before the menu opens.
  Machine(const char* file, std::uint32_t deviceKind, const std::vector<std::wstring>& unplugged = {},
          const std::map<wchar_t, std::optional<bool>>& present = {})
      : tree_(MachineText(file)), offered_(kVista) {
    for (const std::wstring& id : unplugged) {
      DevNode node = 0;
      EXPECT_EQ(tree_.simulated().LocateNode(id, node), winvalues::kCrSuccess);
      tree_.RequestDeviceEject(node);
    }
    std::map<wchar_t, TreeDrives::Drive> drives;
    for (const MachineDrive& d : kWindows10Drives) drives[d.letter] = {d.type, IdHolding(d.volume)};
    LabelledTreeDrives storage(tree_, drives);
    storage.present = present;
    for (const MachineDrive& d : kWindows10Drives) storage.labels[d.letter] = d.label;
    ReadLabelledDrives(tree_, storage,
                       [&](const std::vector<LabelledDrive>& read) { published.push_back(read); });
    drives_ = published.back();
    labelsAsked = storage.asked;
    DeviceEnumeration(tree_, deviceKind, kVista, nullptr, offered_).EnumerateDevices(false);
  }

  std::vector<EjectMenuItem> Menu(const std::vector<tag_device_hotkey_info>& table) {
    return BuildEjectMenu({table, offered_, UsbMassStoragePresent(tree_, kVista), drives_}, kVista);
  }

  FakeDeviceTree& tree() { return tree_; }
  std::vector<std::vector<LabelledDrive>> published;
  std::wstring labelsAsked;

 private:
  std::wstring IdHolding(const std::wstring& piece) {
    for (std::wstring id : tree_.simulated().AllIds()) {
      for (wchar_t& c : id) c = UpperAscii(c);
      if (id.find(piece) != std::wstring::npos) return id;
    }
    ADD_FAILURE() << testing::PrintToString(piece);
    return L"";
  }

  FakeDeviceTree tree_;
  OfferedDevices offered_;
  std::vector<LabelledDrive> drives_;
};

std::vector<std::wstring> Texts(const std::vector<EjectMenuItem>& items) {
  std::vector<std::wstring> texts;
  for (const EjectMenuItem& item : items) texts.push_back(item.text);
  return texts;
}

const std::wstring kStick = L"SanDisk Ultra USB Device";
const std::wstring kDisk = L"WD Elements 25A2 USB Device";

// What every Windows 10 machine offers for USB beside its registrations, in listing order.
const std::vector<std::wstring> kWindows10Offered = {
    L"WD Elements 25A2 USB Device (F: Backup && Sync, I:)",
    L"Generic- SD/MMC USB Device (H: CAMERA)",
    L"Generic- Compact Flash USB Device",
    L"Generic- SM/xD-Picture USB Device",
    L"Generic- MS/MS-Pro USB Device",
    L"Samsung Flash Drive FIT USB Device (J:)",
    L"MBED VFS USB Device (K: MBED)",
    L"mbed Serial Port (COM3)",
    L"USB 入力デバイス",
    L"Galaxy S10",
    // A UAS drive sits among the SCSI adapters, swept after the USB class.
    L"SanDisk Extreme SSD SCSI Disk Device (G: SSD)",
};

}  // namespace

TEST(EjectMenu, RegisteredDevicesComeFirstThenAllStorageThenWhatTheListOffers) {
  struct Case {
    const char* what;
    std::vector<tag_device_hotkey_info> table;
    std::vector<std::wstring> first;  // the items before kWindows10Offered
    std::vector<std::optional<std::size_t>> registrations;
  };
  const Case cases[] = {
      {"nothing registered", {}, {L"すべての USB 大容量記憶装置", kStick + L" (E: 写真)"}, {std::nullopt, std::nullopt}},
      {"the stick registered, in any case of A to Z",
       {Registration(L"SANDISK ultra USB Device", L"001", kCtrlAltF5)},
       {L"SANDISK ultra USB Device (E: 写真)\tCtrl + Alt + F5", L"すべての USB 大容量記憶装置"},
       {0, std::nullopt}},
      {"the storage entry registered, and an absent device",
       {Registration(L"Missing Card", L"001", kCtrlAltF5), Registration(kVista.storageDesc, kStorageKey, kShiftF9)},
       {L"すべての USB 大容量記憶装置\tShift + F9", kStick + L" (E: 写真)"},
       {1, std::nullopt}},
  };
  for (const Case& c : cases) {
    Machine machine("windows10-ja.tree", kKindUsb);
    std::vector<tag_device_hotkey_info> table = c.table;
    table.resize(16);
    const std::vector<EjectMenuItem> items = machine.Menu(table);
    std::vector<std::wstring> expected = c.first;
    expected.insert(expected.end(), kWindows10Offered.begin(), kWindows10Offered.end());
    EXPECT_EQ(Texts(items), expected) << c.what;
    ASSERT_GE(items.size(), c.registrations.size());
    for (std::size_t i = 0; i < c.registrations.size(); ++i)
      EXPECT_EQ(items[i].choice.registration, c.registrations[i]) << c.what << " item " << i;
  }
}

TEST(EjectMenu, NothingIsOfferedWhenTheKindsSelectedHoldNothingPresent) {
  // PC cards only: the machine has none, and its USB storage is no business of the menu.
  Machine machine("windows10-ja.tree", kKindPcmcia);
  std::vector<tag_device_hotkey_info> table(16);
  table[0] = Registration(kStick, L"001", kCtrlAltF5);
  EXPECT_TRUE(machine.Menu(table).empty());

  // Once the stick is gone, neither it nor its letter is offered.
  Machine unplugged("windows10-ja.tree", kKindUsb, {L"USB\\VID_0781&PID_5581\\4C530001230101115083"});
  EXPECT_EQ(unplugged.Menu(table).size(), kWindows10Offered.size() + 1) << "all storage, and the rest";
  for (const EjectMenuItem& item : unplugged.Menu(table)) {
    EXPECT_EQ(item.text.find(L"SanDisk Ultra"), std::wstring::npos);
    EXPECT_EQ(item.text.find(L"E:"), std::wstring::npos);
  }
}

TEST(EjectMenu, AUasDriveAloneMakesTheAllStorageEntryRemovable) {
  // Every device served by USBSTOR unplugged: the UAS drive alone is USB mass storage.
  const std::vector<std::wstring> usbstor = {
      L"USB\\VID_0781&PID_5581\\4C530001230101115083", L"USB\\VID_1058&PID_25A2\\575836314142394834333739",
      L"USB\\VID_05E3&PID_0747\\000000000819", L"USB\\VID_090C&PID_1000\\AA00000000012345",
      L"USB\\VID_0D28&PID_0204\\220102030E3CAC05F3C071FC"};
  Machine uasOnly("windows10-ja.tree", kKindUsb, usbstor);
  std::vector<tag_device_hotkey_info> table(16);
  const std::vector<EjectMenuItem> items = uasOnly.Menu(table);
  ASSERT_FALSE(items.empty());
  EXPECT_EQ(items.front().text, L"すべての USB 大容量記憶装置");
  EXPECT_EQ(items.front().choice, (EjectChoice{std::nullopt, kVista.storageDesc}));
  EXPECT_EQ(items.back().text, L"SanDisk Extreme SSD SCSI Disk Device (G: SSD)");
  // Kept out, the only drive leaves the all-storage entry nothing to remove.
  EXPECT_FALSE(UsbMassStoragePresent(uasOnly.tree(), kVista, {L"sandisk extreme ssd scsi disk device"}));

  std::vector<std::wstring> allStorage = usbstor;
  allStorage.push_back(L"USB\\VID_0781&PID_558C\\323130343032343032353735");
  Machine noStorage("windows10-ja.tree", kKindUsb, allStorage);
  EXPECT_FALSE(UsbMassStoragePresent(noStorage.tree(), kVista));
  for (const EjectMenuItem& item : noStorage.Menu(table))
    EXPECT_NE(item.choice.name, kVista.storageDesc) << "no all-storage entry without storage";
}

TEST(EjectMenu, ItemTextsNameEveryDriveAndCannotBeReadAsMenuMarkup) {
  const std::vector<LabelledDrive> drives = {
      {{L'E', {L"Disk A", L"USB 大容量記憶装置"}}, L"写真"},
      {{L'F', {L"Disk B & Co"}}, L"Tom & Jerry"},
      {{L'G', {L"Disk B & Co"}}, L""},
      {{L'H', {L"disk a"}}, L"Tab\there"},
  };
  struct Case {
    std::wstring name;
    std::wstring text;
  };
  const Case cases[] = {
      {L"Disk A", L"Disk A (E: 写真, H: Tab here)"},
      {L"Disk B & Co", L"Disk B && Co (F: Tom && Jerry, G:)"},
      {L"Galaxy S10", L"Galaxy S10"},
      {L"USB 大容量記憶装置", L"USB 大容量記憶装置 (E: 写真)"},
  };
  for (const Case& c : cases) EXPECT_EQ(EjectItemText(c.name, drives), c.text);
}

TEST(EjectMenu, DrivesCarryTheNamesFromTheirDiskUpToTheDeviceThatHoldsThem) {
  Machine machine("windows10-ja.tree", kKindUsb);
  std::map<wchar_t, TreeDrives::Drive> drives;
  for (const MachineDrive& d : kWindows10Drives)
    drives[d.letter] = {d.type, IdHolding(machine.tree().simulated(), d.volume)};
  TreeDrives storage(machine.tree(), drives);
  std::map<wchar_t, std::vector<std::wstring>> found;
  for (const DeviceLetter& drive : FindDeviceLetters(machine.tree(), storage)) found[drive.letter] = drive.names;
  const std::map<wchar_t, std::vector<std::wstring>> expected = {
      {L'E', {kStick, L"USB 大容量記憶装置"}},
      {L'F', {kDisk, L"USB 大容量記憶装置"}},
      {L'G', {L"SanDisk Extreme SSD SCSI Disk Device", L"UAS (USB Attached SCSI) 大容量記憶装置"}},
      {L'H', {L"Generic- SD/MMC USB Device", L"USB 大容量記憶装置"}},
      {L'I', {kDisk, L"USB 大容量記憶装置"}},
      {L'J', {L"Samsung Flash Drive FIT USB Device", L"USB 大容量記憶装置"}},
      {L'K', {L"MBED VFS USB Device", L"USB 大容量記憶装置", L"USB 複合デバイス"}},
  };
  EXPECT_EQ(found, expected) << "C: lies on no removable device, so it has no entry";
}

TEST(EjectMenu, DrivesArePublishedOneByOneAndAnEmptyDriveHasNoLabelToRead) {
  Machine machine("windows10-ja.tree", kKindUsb, {}, {{L'J', false}, {L'K', std::nullopt}});
  ASSERT_EQ(machine.published.size(), 8u) << "the letters E to K found, then each read";
  for (std::size_t read = 0; read < machine.published.size(); ++read)
    for (std::size_t i = 0; i < machine.published[read].size(); ++i)
      EXPECT_EQ(machine.published[read][i].mediumPresent.has_value(), i < read && i != 6) << read;
  EXPECT_EQ(machine.labelsAsked, L"EFGHIK");
}

TEST(EjectMenu, ACardSlotIsHiddenOnlyWhenItsDriveWasReadEmpty) {
  OfferedDevices offered(kVista);
  tag_device_hotkey_info card;
  card.name = L"SDXC Card";
  card.device_kind = kKindCard;
  offered.Offer(card, false);
  const DeviceLetter d = {L'D', {L"SDXC Card"}};
  const std::pair<std::vector<LabelledDrive>, std::vector<std::wstring>> cases[] = {
      {{}, {L"SDXC Card"}},                      // its letter not found in time
      {{{d, L""}}, {L"SDXC Card (D:)"}},         // not read in time, or it cannot tell
      {{{d, L"", false}}, {}},                   // empty
      {{{d, L"", true}}, {L"SDXC Card (D:)"}},   // a card Windows cannot read (RAW)
      {{{d, L"CAMERA", true}}, {L"SDXC Card (D: CAMERA)"}},
  };
  for (const auto& [drives, texts] : cases)
    EXPECT_EQ(Texts(BuildEjectMenu({{}, offered, false, drives}, kVista)), texts);
}
