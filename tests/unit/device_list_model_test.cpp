// The device list page's rows: merging of listed devices and stored registrations,
// updates, hotkey conflicts, the command states, the save, and the hotkey dialog's
// test registration.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/WinValues.h"
#include "pnp/SystemNames.h"
#include "fakes/FakeDeviceTree.h"
#include "fakes/FakeProfileStore.h"
#include "fakes/RecordingHotkeyRegistrar.h"
#include "fakes/RecordingPrompter.h"
#include "hotkeys/HotkeyCode.h"
#include "resources/resource.h"
#include "settings/LetterEncoding.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsRecord.h"
#include "ui/DeviceListHotkeyTrial.h"
#include "ui/DeviceListModel.h"

// Records are spelled with designated initializers; the fields left out keep their
// defaults on purpose.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

constexpr unsigned kVista = 6;
constexpr unsigned kXp = 5;
constexpr std::uint32_t kCtrlA = 0x00020041;
constexpr std::uint32_t kCtrlB = 0x00020042;
constexpr std::uint32_t kCtrlExtA = 0x000A0041;  // Ctrl + extended-key flag + A
constexpr std::uint32_t kAltF5 = 0x00040074;
const std::wstring kAllStorageVista = L"すべての USB 大容量記憶装置";

// Images the simulated tree gives its classes (position in its class table).
constexpr int kHidImage = 3;
constexpr int kDiskImage = 6;

// What a list view shows for one row, kept up to date only through the observer.
struct ShownRow {
  std::wstring text;
  std::wstring hotkey;
  std::wstring count;
  bool cut = false;
  int image = 0;
  bool operator==(const ShownRow&) const = default;
};

void PrintTo(const ShownRow& row, std::ostream* os) {
  *os << testing::PrintToString(row.text) << " | " << testing::PrintToString(row.hotkey) << " | "
      << testing::PrintToString(row.count) << (row.cut ? " (cut)" : "") << " img " << row.image;
}

ShownRow Shown(const DeviceListRow& row) {
  return {row.Text(), row.hotkeyText, row.countText, !row.IsPresent(), row.record.image};
}

class MirrorList : public DeviceListObserver {
 public:
  explicit MirrorList(const DeviceListModel& model) : model_(model) {}
  void RowInserted(std::size_t row) override {
    ASSERT_LE(row, rows.size());
    rows.insert(rows.begin() + static_cast<std::ptrdiff_t>(row), Shown(model_.Row(row)));
  }
  void RowChanged(std::size_t row) override {
    ASSERT_LT(row, rows.size());
    rows[row] = Shown(model_.Row(row));
    ++changes;
  }
  void RowRemoved(std::size_t row) override {
    ASSERT_LT(row, rows.size());
    rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(row));
  }

  std::vector<ShownRow> rows;
  int changes = 0;

 private:
  const DeviceListModel& model_;
};

std::vector<ShownRow> ShownRows(const DeviceListModel& model) {
  std::vector<ShownRow> rows;
  for (std::size_t i = 0; i < model.RowCount(); ++i) rows.push_back(Shown(model.Row(i)));
  return rows;
}

tag_device_hotkey_info Listed(const std::wstring& name, int image = 0, std::uint32_t kind = 1) {
  return {.name = name, .present = 1, .image = image, .device_kind = kind};
}

tag_device_hotkey_info Stored(const std::wstring& name, std::uint32_t hotkey, int rejectTimes = 0,
                              int winkey = 0, int image = 0, std::uint32_t kind = 1) {
  return {.name = name, .hotkey = hotkey, .winkey = winkey, .present = 0, .image = image,
          .reject_times = rejectTimes, .device_kind = kind};
}

// ------------------------------------------------------------------ AddOrUpdateRow

struct Delivery {
  tag_device_hotkey_info record;
  bool refresh = false;
  int expectedRow = 0;
};

struct MergeCase {
  const char* label;
  unsigned majorVersion;
  std::vector<Delivery> deliveries;
  std::vector<ShownRow> rows;
};

void PrintTo(const MergeCase& c, std::ostream* os) { *os << c.label; }

class AddOrUpdateRowCases : public testing::TestWithParam<MergeCase> {};

TEST_P(AddOrUpdateRowCases, GivesTheDocumentedRows) {
  const MergeCase& c = GetParam();
  DeviceListModel model(SystemNamesFor(c.majorVersion));
  MirrorList mirror(model);
  model.SetObserver(&mirror);
  for (std::size_t i = 0; i < c.deliveries.size(); ++i) {
    const Delivery& d = c.deliveries[i];
    EXPECT_EQ(model.AddOrUpdateRow(d.record, d.refresh), d.expectedRow) << "delivery " << i;
  }
  EXPECT_EQ(ShownRows(model), c.rows);
  EXPECT_EQ(mirror.rows, c.rows);
}

INSTANTIATE_TEST_SUITE_P(
    Merging, AddOrUpdateRowCases,
    testing::Values(
        MergeCase{"NewDevicesAppendInDeliveryOrder",
                  kVista,
                  {{Listed(L"Disk B", kDiskImage), false, 0}, {Listed(L"Mouse", kHidImage, 0x10), false, 1}},
                  {{L"Disk B", L"なし", L"0", false, kDiskImage}, {L"Mouse", L"なし", L"0", false, kHidImage}}},
        MergeCase{"StorageDescriptionOfTheRunningSystemIsDropped",
                  kVista,
                  {{Listed(L"USB 大容量記憶装置"), false, -1},
                   {Listed(L"USB 大容量記憶装置デバイス"), false, 0}},
                  {{L"USB 大容量記憶装置デバイス", L"なし", L"0", false, 0}}},
        MergeCase{"StorageDescriptionBeforeVistaIsDropped",
                  kXp,
                  {{Listed(L"USB 大容量記憶装置デバイス"), false, -1},
                   {Listed(L"USB 大容量記憶装置"), true, 0}},
                  {{L"USB 大容量記憶装置", L"なし", L"0", false, 0}}},
        MergeCase{"GenericHubIsDroppedOnlyWhenExact",
                  kVista,
                  {{Listed(L"汎用 USB ハブ"), false, -1},
                   {Stored(L"汎用 USB ハブ", kCtrlA), false, -1},
                   {Listed(L"汎用 usb ハブ"), false, 0}},
                  {{L"汎用 usb ハブ", L"なし", L"0", false, 0}}},
        MergeCase{"StoredRegistrationMergesIntoPresentRowIgnoringCase",
                  kVista,
                  {{Listed(L"Flash Disk", kDiskImage), false, 0},
                   {Stored(L"FLASH DISK", kCtrlA, 7, 1, 42, 0x20), false, 0}},
                  {{L"Flash Disk", L"Win + Ctrl + A", L"7", false, kDiskImage}}},
        MergeCase{"JapaneseNamesMustMatchExactly",
                  kVista,
                  {{Listed(L"ﾃﾞｨｽｸ"), false, 0}, {Stored(L"ディスク", kCtrlA), false, 1}},
                  {{L"ﾃﾞｨｽｸ", L"なし", L"0", false, 0}, {L"ディスク", L"Ctrl + A", L"0", true, 0}}},
        MergeCase{"UnknownRegistrationIsAppendedAbsent",
                  kVista,
                  {{Listed(L"Present"), false, 0}, {Stored(L"Gone", kAltF5, 12, 0, 5), false, 1}},
                  {{L"Present", L"なし", L"0", false, 0}, {L"Gone", L"Alt + F5", L"12", true, 5}}},
        MergeCase{"MergeWithoutRefreshKeepsTheRowsOwnPresence",
                  kVista,
                  {{Stored(L"Disk", kCtrlA, 3), false, 0}, {Listed(L"disk"), false, 0}},
                  {{L"Disk", L"なし", L"0", true, 0}}},
        MergeCase{"RefreshOnlyMarksPresence",
                  kVista,
                  {{Stored(L"Disk", kCtrlA, 3, 0, 4), false, 0},
                   {Listed(L"DISK", kDiskImage, 0x10), true, 0}},
                  {{L"Disk", L"Ctrl + A", L"3", false, 4}}},
        MergeCase{"RefreshAppendsDevicesNotYetListed",
                  kVista,
                  {{Listed(L"A"), true, 0}, {Listed(L"B"), true, 1}, {Listed(L"a"), true, 0}},
                  {{L"A", L"なし", L"0", false, 0}, {L"B", L"なし", L"0", false, 0}}},
        MergeCase{"SameNameTwiceIsOneRow",
                  kVista,
                  {{Listed(L"Card Reader", 1), false, 0}, {Listed(L"Card Reader", 2), false, 0}},
                  {{L"Card Reader", L"なし", L"0", false, 1}}}));

TEST(DeviceListModel, MergeKeepsImageKindAndNameOfTheRow) {
  DeviceListModel model(SystemNamesFor(kVista));
  model.AddOrUpdateRow(Listed(L"Flash Disk", kDiskImage, 1), false);
  model.AddOrUpdateRow(Stored(L"flash disk", kCtrlA, 2, 0, 42, 0x20), false);
  const tag_device_hotkey_info record = model.RowRecord(0);
  EXPECT_EQ(record.name, L"Flash Disk");
  EXPECT_EQ(record.image, kDiskImage);
  EXPECT_EQ(record.device_kind, 1u);
  EXPECT_EQ(record.present, 1);
  EXPECT_EQ(model.RowImage(0), kDiskImage);
}

// ------------------------------------------------------------------ commands

class DeviceListCommands : public testing::Test {
 protected:
  void SetUp() override {
    model.SetObserver(&mirror);
    model.AddOrUpdateRow(Listed(kAllStorageVista), false);          // 0
    model.AddOrUpdateRow(Stored(L"Disk A", kCtrlA, 4, 1), false);   // 1
    model.AddOrUpdateRow(Stored(L"Disk B", 0, 2), false);           // 2
    model.AddOrUpdateRow(Stored(L"Pad", kAltF5, 0), false);         // 3
  }
  void TearDown() override { EXPECT_EQ(mirror.rows, ShownRows(model)); }

  DeviceListModel model{SystemNamesFor(kVista)};
  MirrorList mirror{model};
  RecordingPrompter prompter;
};

const RecordingPrompter::Prompt kRowConflict{IDS_HOTKEY_TAKEN_ROW, std::nullopt, IDS_ERROR_CAPTION,
                                             winvalues::kMbOk | winvalues::kMbIconError};

struct SetCase {
  const char* label;
  std::size_t row;
  std::uint32_t code;
  bool winkey;
  bool refused;
  std::wstring text;  // column 1 of the row afterwards
};

void PrintTo(const SetCase& c, std::ostream* os) { *os << c.label; }

class SetHotkeyCases : public DeviceListCommands, public testing::WithParamInterface<SetCase> {};

TEST_P(SetHotkeyCases, StoresOrRefusesWithMessage106) {
  const SetCase& c = GetParam();
  const tag_device_hotkey_info before = model.RowRecord(c.row);
  const SetHotkeyResult result = model.SetHotkey(c.row, c.code, c.winkey, prompter);
  const tag_device_hotkey_info after = model.RowRecord(c.row);
  EXPECT_EQ(model.Row(c.row).hotkeyText, c.text);
  EXPECT_EQ(after.reject_times, before.reject_times);
  if (c.refused) {
    EXPECT_EQ(result, SetHotkeyResult::HeldByOtherRow);
    EXPECT_EQ(prompter.prompts(), std::vector{kRowConflict});
    EXPECT_EQ(after, before);
  } else {
    EXPECT_EQ(result, SetHotkeyResult::Stored);
    EXPECT_TRUE(prompter.prompts().empty());
    EXPECT_EQ(after.hotkey, c.code);
    EXPECT_EQ(after.winkey, c.winkey ? 1 : 0);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Conflicts, SetHotkeyCases,
    testing::Values(SetCase{"FreeCombination", 2, kCtrlB, false, false, L"Ctrl + B"},
                    SetCase{"HeldByAnotherRow", 2, kCtrlA, true, true, L"なし"},
                    SetCase{"HeldByAnotherRowWithOtherWindowsKey", 3, kCtrlA, false, true,
                            L"Alt + F5"},
                    SetCase{"RowKeepsItsOwnHotkey", 1, kCtrlA, false, false, L"Ctrl + A"},
                    SetCase{"ExtendedFlagMakesADifferentCode", 2, kCtrlExtA, false, false,
                            L"Ctrl + A"},
                    SetCase{"EmptyEntryIsNeverAConflict", 1, 0, true, false, L"なし"},
                    SetCase{"AllStorageRowTakesAHotkey", 0, kCtrlB, true, false,
                            L"Win + Ctrl + B"}));

TEST_F(DeviceListCommands, SetOnAMissingRowDoesNothing) {
  EXPECT_EQ(model.SetHotkey(4, kCtrlB, false, prompter), SetHotkeyResult::NoRow);
  EXPECT_FALSE(model.ReleaseHotkey(4));
  EXPECT_FALSE(model.DeleteRow(4));
  EXPECT_EQ(model.RowCount(), 4u);
}

TEST_F(DeviceListCommands, ReleaseClearsHotkeyAndKeepsCount) {
  ASSERT_TRUE(model.ReleaseHotkey(1));
  const tag_device_hotkey_info record = model.RowRecord(1);
  EXPECT_EQ(record.hotkey, 0u);
  EXPECT_EQ(record.winkey, 0);
  EXPECT_EQ(record.reject_times, 4);
  EXPECT_EQ(model.Row(1).hotkeyText, L"なし");
  EXPECT_FALSE(model.ButtonsFor(1).release);
}

TEST_F(DeviceListCommands, DeleteRemovesOnlyThatRow) {
  ASSERT_TRUE(model.DeleteRow(1));
  ASSERT_EQ(model.RowCount(), 3u);
  EXPECT_EQ(model.RowText(1), L"Disk B");
  EXPECT_EQ(model.RowText(2), L"Pad");
  // The hotkey of the deleted row is free for another row now.
  EXPECT_EQ(model.SetHotkey(1, kCtrlA, false, prompter), SetHotkeyResult::Stored);
}

struct ButtonCase {
  const char* label;
  std::optional<std::size_t> selected;
  DeviceListButtons buttons;
  DeviceListMenuGreying grey;
};

void PrintTo(const ButtonCase& c, std::ostream* os) { *os << c.label; }

class ButtonCases : public DeviceListCommands, public testing::WithParamInterface<ButtonCase> {};

TEST_P(ButtonCases, FollowTheSelectedRow) {
  const ButtonCase& c = GetParam();
  EXPECT_EQ(model.ButtonsFor(c.selected), c.buttons);
  if (model.HasRow(c.selected)) {
    EXPECT_EQ(model.MenuFor(*c.selected), c.grey);
  }
}

INSTANTIATE_TEST_SUITE_P(
    States, ButtonCases,
    testing::Values(
        ButtonCase{"NothingSelected", std::nullopt, {false, false, false, true}, {}},
        ButtonCase{"SelectionPastTheEnd", 9, {false, false, false, true}, {}},
        ButtonCase{"AllStorageWithoutHotkey", 0, {true, false, false, true}, {true, true}},
        ButtonCase{"RowWithHotkey", 1, {true, true, true, true}, {false, false}},
        ButtonCase{"RowWithoutHotkey", 2, {true, false, true, true}, {true, false}}));

TEST_F(DeviceListCommands, ReleaseEnablesOnlyWhileTheRowHasAHotkey) {
  ASSERT_EQ(model.SetHotkey(0, kCtrlB, false, prompter), SetHotkeyResult::Stored);
  EXPECT_EQ(model.ButtonsFor(0), (DeviceListButtons{true, true, false, true}));
  EXPECT_EQ(model.MenuFor(0), (DeviceListMenuGreying{false, true}));
}

// ------------------------------------------------------------------ the page's listing

// A demo machine: a flash disk and a card reader on USB (behind mass-storage nodes),
// a bare hub, a HID pad, and a PCMCIA card.
constexpr char kDemoTree[] = R"(
usb desc="USB 大容量記憶装置" removable disableable
  diskdrive friendly="BUFFALO USB Flash Disk USB Device"
    volume desc="汎用ボリューム"
usb desc="汎用 USB ハブ" removable disableable
usb desc="USB 大容量記憶装置" removable disableable
  diskdrive friendly="Generic SD Reader USB Device"
    volume desc="汎用ボリューム"
hidclass desc="USB Game Pad" removable disableable
pcmcia desc="PC Card Modem" removable disableable
)";

class DeviceListListing : public testing::Test {
 protected:
  FakeProfileStore store;
  SettingsFile file{store};
  DeviceListModel model{SystemNamesFor(kVista)};
  RecordingPrompter prompter;
};

TEST_F(DeviceListListing, PopulateListsPresentDevicesThenMergesRegistrations) {
  FakeDeviceTree tree(kDemoTree);
  store.StoreRegistration(L"001", L"Old Camera", kAltF5, 1, 3, 0, 9);
  store.StoreRegistration(L"002", L"buffalo usb flash disk usb device", kCtrlA, 1, 11, 1, 9);
  store.StoreRegistration(L"004", L"PC Card Modem", 0, 2);
  store.StoreRegistration(L"005", L"USB Game Pad", kCtrlB, 0x10);  // HID is not shown
  store.Set(L"HOTKEY", L"STORAGE", EncodeLetters(BlockFromHotkeyCode(kCtrlB)));
  store.Set(L"REJECT_TIMES", L"STORAGE", L"25");

  model.Populate(tree, 0x03, nullptr, file);

  const std::vector<ShownRow> expected{
      {kAllStorageVista, L"Ctrl + B", L"25", false, 0},
      {L"BUFFALO USB Flash Disk USB Device", L"Win + Ctrl + A", L"11", false, kDiskImage},
      {L"Generic SD Reader USB Device", L"なし", L"0", false, kDiskImage},
      {L"PC Card Modem", L"なし", L"0", false, 2},
      {L"Old Camera", L"Alt + F5", L"3", true, 9},
  };
  EXPECT_EQ(ShownRows(model), expected);
  EXPECT_EQ(model.RowRecord(3).device_kind, 2u);
}

TEST_F(DeviceListListing, UpdateKeepsUnpluggedRowsGreyAndAppendsNewDevices) {
  FakeDeviceTree before(kDemoTree);
  store.StoreRegistration(L"001", L"Old Camera", kAltF5, 1, 3);
  model.Populate(before, 0x11, nullptr, file);
  ASSERT_EQ(model.SetHotkey(1, kCtrlA, false, prompter), SetHotkeyResult::Stored);

  // The flash disk is unplugged, the camera comes back deeper down, and the pad now
  // carries a keyboard, which is listed in its place.
  FakeDeviceTree after(R"(
usb desc="USB Hub 2" removable disableable
  usb desc="Hub port"
    usb desc="old camera"
usb desc="USB 大容量記憶装置" removable disableable
  diskdrive friendly="Generic SD Reader USB Device"
    volume desc="汎用ボリューム"
hidclass desc="USB Game Pad" removable disableable
  keyboard desc="USB Keyboard"
)");
  MirrorList mirror(model);
  mirror.rows = ShownRows(model);
  model.SetObserver(&mirror);
  model.UpdateDevices(after, 0x11, nullptr);

  const std::vector<ShownRow> expected{
      {kAllStorageVista, L"なし", L"0", false, 0},
      {L"BUFFALO USB Flash Disk USB Device", L"Ctrl + A", L"0", true, kDiskImage},
      {L"Generic SD Reader USB Device", L"なし", L"0", false, kDiskImage},
      {L"USB Game Pad", L"なし", L"0", true, kHidImage},
      {L"Old Camera", L"Alt + F5", L"3", false, 0},
      {L"USB Keyboard", L"なし", L"0", false, 9},
  };
  EXPECT_EQ(ShownRows(model), expected);
  EXPECT_EQ(mirror.rows, expected);
}

TEST_F(DeviceListListing, WithoutUsbThereIsNoAllStorageRow) {
  FakeDeviceTree tree(kDemoTree);
  store.Set(L"HOTKEY", L"STORAGE", EncodeLetters(BlockFromHotkeyCode(kCtrlB)));
  model.Populate(tree, 0x02, nullptr, file);
  ASSERT_EQ(model.RowCount(), 1u);
  EXPECT_EQ(model.RowText(0), L"PC Card Modem");
}

TEST_F(DeviceListListing, EntryOfAnotherKindNamedLikeTheAllStorageRowKeepsARowOfItsOwn) {
  FakeDeviceTree tree(kDemoTree);
  store.StoreRegistration(L"001", kAllStorageVista, kCtrlA, /*kind=*/2, /*rejectTimes=*/4);
  store.StoreRegistration(L"STORAGE", kAllStorageVista, 0, 1, /*rejectTimes=*/7);
  model.Populate(tree, 0x03, nullptr, file);

  ASSERT_EQ(model.RowText(0), kAllStorageVista);
  EXPECT_EQ(model.Row(0).countText, L"7");
  const std::size_t own = model.RowCount() - 1;
  EXPECT_EQ(model.RowText(own), kAllStorageVista);
  EXPECT_EQ(model.Row(own).hotkeyText, L"Ctrl + A");
  EXPECT_TRUE(model.ButtonsFor(own).remove);
  EXPECT_FALSE(model.ButtonsFor(0).remove);

  model.Save(file);
  DeviceListModel reopened(SystemNamesFor(kVista));
  reopened.Populate(tree, 0x03, nullptr, file);
  ASSERT_EQ(reopened.RowCount(), model.RowCount());
  for (std::size_t i = 0; i < model.RowCount(); ++i) EXPECT_EQ(reopened.RowRecord(i), model.RowRecord(i));
}

// The file after a save, section by section, as "KEY=value" lines.
std::vector<std::wstring> Section(const FakeProfileStore& store, const std::wstring& section) {
  std::vector<std::wstring> lines;
  for (const std::wstring& key : store.Keys(section))
    lines.push_back(key + L"=" + store.Raw(section, key).value_or(L"?"));
  return lines;
}

TEST_F(DeviceListListing, RoundTripFromTreeAndFileBackToTheFile) {
  FakeDeviceTree tree(kDemoTree);
  store.StoreRegistration(L"001", L"Old Camera", kAltF5, 1, 3, 0, 9);
  store.StoreRegistration(L"003", L"Generic SD Reader USB Device", kCtrlA, 1, 7);
  store.StoreRegistration(L"004", L"Hidden Pad", kCtrlB, 0x10, 1, 1, 3);  // not listed: HID is off
  model.Populate(tree, 0x03, nullptr, file);

  // All-storage, flash disk, SD reader, modem, old camera.
  ASSERT_EQ(model.RowCount(), 5u);
  ASSERT_EQ(model.SetHotkey(0, 0x00060031, true, prompter), SetHotkeyResult::Stored);
  ASSERT_EQ(model.SetHotkey(1, kCtrlA, false, prompter), SetHotkeyResult::HeldByOtherRow);
  ASSERT_TRUE(model.DeleteRow(4));
  model.Save(file);

  EXPECT_EQ(Section(store, L"NAME"),
            (std::vector<std::wstring>{L"STORAGE=" + kAllStorageVista,
                                       L"001=BUFFALO USB Flash Disk USB Device",
                                       L"002=Generic SD Reader USB Device", L"003=PC Card Modem",
                                       L"004=Hidden Pad"}));
  EXPECT_EQ(Section(store, L"HOTKEY"),
            (std::vector<std::wstring>{L"STORAGE=BDAAGAAA", L"001=AAAAAAAA", L"002=BEAACAAA",
                                       L"003=AAAAAAAA", L"004=CEAACAAA"}));
  EXPECT_EQ(Section(store, L"WINKEY"),
            (std::vector<std::wstring>{L"STORAGE=1", L"001=0", L"002=0", L"003=0", L"004=1"}));
  EXPECT_EQ(Section(store, L"IMAGE"),
            (std::vector<std::wstring>{L"STORAGE=0", L"001=6", L"002=6", L"003=2", L"004=3"}));
  EXPECT_EQ(Section(store, L"DEVICE_KIND"),
            (std::vector<std::wstring>{L"STORAGE=1", L"001=1", L"002=1", L"003=2", L"004=16"}));
  EXPECT_EQ(Section(store, L"REJECT_TIMES"),
            (std::vector<std::wstring>{L"STORAGE=0", L"001=0", L"002=7", L"003=0", L"004=1"}));

  // Read back into a fresh page: the same rows, the deleted camera gone.
  DeviceListModel reopened(SystemNamesFor(kVista));
  FakeDeviceTree same(kDemoTree);
  reopened.Populate(same, 0x03, nullptr, file);
  std::vector<ShownRow> expected = ShownRows(model);
  EXPECT_EQ(ShownRows(reopened), expected);
}

// Only a USB mass-storage row offers the keeping, a kept row always offers it back (the
// unplugged stick), and the save rewrites KEEP in list order, names read back exactly; a
// page without USB, which shows no kept row, leaves KEEP alone.
TEST_F(DeviceListListing, KeepingOutOfAllStorageIsOfferedOnStorageRowsAndSavedInListOrder) {
  FakeDeviceTree tree(kDemoTree);
  store.StoreRegistration(L"001", L"\" Old Stick \"", kAltF5, 1);
  store.Set(L"KEEP", L"003", L"\" Old Stick \"");
  model.Populate(tree, 0x03, nullptr, file);  // all-storage, flash disk, SD reader, modem, old stick
  EXPECT_EQ(std::vector<bool>({model.ToggleKeepOut(0), model.ToggleKeepOut(1), model.ToggleKeepOut(2),
                               model.ToggleKeepOut(3)}),
            std::vector<bool>({false, true, true, false}));
  EXPECT_EQ(model.MenuFor(4), (DeviceListMenuGreying{.keepOut = false, .keptOut = true}));
  EXPECT_TRUE(model.MenuFor(1).keptOut && model.Row(1).keptOut && model.MenuFor(3).keepOut);
  model.Save(file);
  const std::vector<std::wstring> kept{L"001=BUFFALO USB Flash Disk USB Device",
                                       L"002=Generic SD Reader USB Device", L"003=\" Old Stick \""};
  EXPECT_EQ(Section(store, L"KEEP"), kept);
  DeviceListModel noUsb(SystemNamesFor(kVista));
  noUsb.Populate(tree, 0x02, nullptr, file);
  noUsb.Save(file);
  SettingsRecord settings;
  LoadSettings(file, false, true, settings);
  EXPECT_EQ(Section(store, L"KEEP"), kept);
  EXPECT_EQ(settings.m_aKeptOut.back(), L" Old Stick ");
}

TEST(DeviceListLanguages, AnEnglishPageShowsEnglishAndSavesWhatAJapanesePageSaves) {
  const auto savedBy = [](UiLanguage language, std::vector<ShownRow>& shown) {
    FakeProfileStore store;
    store.StoreRegistration(L"001", L"Old Camera", kAltF5, 1, 3, 0, 9);
    store.Set(L"HOTKEY", L"STORAGE", EncodeLetters(BlockFromHotkeyCode(kCtrlB)));
    SettingsFile file(store);
    DeviceListModel page(SystemNamesFor(kVista, language));
    FakeDeviceTree tree(kDemoTree);
    page.Populate(tree, 0x03, nullptr, file);
    shown = ShownRows(page);
    page.Save(file);
    return store.Text();
  };
  std::vector<ShownRow> japanese, english;
  EXPECT_EQ(savedBy(UiLanguage::English, english), savedBy(UiLanguage::Japanese, japanese));
  ASSERT_EQ(english.size(), 5u);
  EXPECT_EQ(english[0], (ShownRow{L"All USB Mass Storage Devices", L"Ctrl + B", L"0", false, 0}));
  EXPECT_EQ(english[2].hotkey, L"None");
  EXPECT_EQ(japanese[0].text, kAllStorageVista);
}

TEST_F(DeviceListListing, KindFilterChangedWhileOpenKeepsEachRegistrationOnce) {
  FakeDeviceTree tree(kDemoTree);
  store.StoreRegistration(L"001", L"BUFFALO USB Flash Disk USB Device", kCtrlA, 1, 2);
  store.StoreRegistration(L"002", L"USB Game Pad", kCtrlB, 0x10, 5);
  model.Populate(tree, 0x01, nullptr, file);
  // The display settings page switches USB off and HID on before OK.
  model.UpdateDevices(tree, 0x10, nullptr);
  model.Save(file);

  EXPECT_EQ(Section(store, L"NAME"),
            (std::vector<std::wstring>{L"STORAGE=" + kAllStorageVista,
                                       L"001=BUFFALO USB Flash Disk USB Device",
                                       L"002=Generic SD Reader USB Device", L"003=USB Game Pad",
                                       L"004=USB Game Pad"}));
  // The listed pad row has no hotkey; the stored one keeps its hotkey and count.
  EXPECT_EQ(store.Raw(L"HOTKEY", L"001"), L"BEAACAAA");
  EXPECT_EQ(store.Raw(L"HOTKEY", L"004"), L"CEAACAAA");
  EXPECT_EQ(store.Raw(L"REJECT_TIMES", L"004"), L"5");
}

// ------------------------------------------------------------------ test registration

TEST(HotkeyTrial, RegistersUnderIdZeroAndReleasesAtOnce) {
  RecordingHotkeyRegistrar registrar;
  RecordingPrompter prompter;
  EXPECT_TRUE(TryHotkeyRegistration(registrar, kCtrlA, true, prompter));
  using Call = RecordingHotkeyRegistrar::Call;
  const std::vector<Call> expected{
      {Call::Kind::Register, 0, {winvalues::kModControl | winvalues::kModWin, 0x41}, true},
      {Call::Kind::Unregister, 0, {}, false}};
  EXPECT_EQ(registrar.calls(), expected);
  EXPECT_TRUE(registrar.active().empty());
  EXPECT_TRUE(prompter.prompts().empty());
}

TEST(HotkeyTrial, RefusalShowsMessage105AndHoldsNothing) {
  RecordingHotkeyRegistrar registrar;
  registrar.HoldByOtherProgram(winvalues::kModAlt, 0x74);
  RecordingPrompter prompter;
  EXPECT_FALSE(TryHotkeyRegistration(registrar, kAltF5, false, prompter));
  EXPECT_TRUE(registrar.active().empty());
  EXPECT_EQ(registrar.calls().size(), 1u);
  const std::vector<RecordingPrompter::Prompt> expected{
      {IDS_HOTKEY_TAKEN_TRIAL, std::nullopt, IDS_ERROR_CAPTION,
       winvalues::kMbOk | winvalues::kMbIconError}};
  EXPECT_EQ(prompter.prompts(), expected);
  // The same keys with the Windows key are another combination.
  EXPECT_TRUE(TryHotkeyRegistration(registrar, kAltF5, true, prompter));
}

}  // namespace
