#include <gtest/gtest.h>

#include "common/WinValues.h"
#include "fakes/FakeProfileStore.h"
#include "fakes/RecordingHotkeyRegistrar.h"
#include "fakes/RecordingPrompter.h"
#include "resources/resource.h"
#include "resident/EjectMomentChoice.h"
#include "resident/HotkeyTable.h"
#include "settings/RegistrationStore.h"
#include "settings/SettingsFile.h"
#include "ui/DeviceListRegistrations.h"

// Records are spelled with designated initializers; the fields left out keep their
// defaults on purpose.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

constexpr std::uint32_t kCtrlA = 0x00020041;
constexpr std::uint32_t kCtrlB = 0x00020042;
constexpr std::uint32_t kAltF5 = 0x00040074;
const std::wstring kStorageDesc = L"USB 大容量記憶装置";
const std::wstring kAllStorage = L"汎用ボリューム";

// The device list page's rows as the load and save see them.
class FakeRows : public RegistrationRows {
 public:
  struct Row {
    std::wstring text;
    tag_device_hotkey_info record;
    std::int32_t image = 0;
  };

  const std::wstring& AllStorageName() const override { return kAllStorage; }
  int AddOrUpdateRow(const tag_device_hotkey_info& record, bool refresh) override {
    added.push_back(record);
    refreshes += refresh ? 1 : 0;
    rows.push_back({record.name, record, record.image});
    return static_cast<int>(rows.size()) - 1;
  }
  std::size_t RowCount() const override { return rows.size(); }
  std::wstring RowText(std::size_t row) const override { return rows.at(row).text; }
  tag_device_hotkey_info RowRecord(std::size_t row) const override { return rows.at(row).record; }
  std::int32_t RowImage(std::size_t row) const override { return rows.at(row).image; }

  void Add(const std::wstring& text, std::uint32_t hotkey, std::int32_t image = 0,
           std::uint32_t kind = 1, std::int32_t rejectTimes = 0) {
    // The record's own image is not what gets saved; the icon the row shows is.
    rows.push_back({text,
                    {.name = text, .hotkey = hotkey, .image = 99, .reject_times = rejectTimes,
                     .device_kind = kind},
                    image});
  }

  std::vector<Row> rows;
  std::vector<tag_device_hotkey_info> added;
  int refreshes = 0;
};

class RegistrationsTest : public ::testing::Test {
 protected:

  void Load(std::uint32_t deviceKind = 3) {
    LoadRegistrations(file, deviceKind, kStorageDesc, host);
  }

  std::vector<int> ActiveIds() const {
    std::vector<int> ids;
    for (const auto& r : registrar.active()) ids.push_back(r.id);
    return ids;
  }

  std::vector<std::wstring> TableKeys() const {
    std::vector<std::wstring> keys;
    for (const auto& r : table) keys.push_back(r.name.empty() ? L"(free)" : r.key);
    return keys;
  }

  FakeProfileStore store;
  SettingsFile file{store};
  std::vector<tag_device_hotkey_info> table;
  RecordingHotkeyRegistrar registrar;
  RecordingPrompter prompter;
  HotkeyTableHost host{table, registrar, prompter};
};

TEST_F(RegistrationsTest, IdsFollowEntryOrderAcrossGapsAndStorageComesLast) {
  store.StoreRegistration(L"001", L"Disk A", kCtrlA, 1, 4, /*winkey=*/1);
  store.StoreRegistration(L"002", L"Card B", kCtrlB, 2);
  store.StoreRegistration(L"004", L"Disk D", kAltF5);
  store.StoreRegistration(L"STORAGE", kAllStorage, 0x00020053, 1, 12);
  Load();

  EXPECT_EQ(ActiveIds(), (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(TableKeys(), (std::vector<std::wstring>{L"001", L"002", L"004", L"STORAGE"}));
  EXPECT_EQ(registrar.active()[0].combination,
            (RecordingHotkeyRegistrar::Combination{winvalues::kModControl | winvalues::kModWin, 0x41}));
  EXPECT_EQ(registrar.active()[2].combination,
            (RecordingHotkeyRegistrar::Combination{winvalues::kModAlt, 0x74}));

  EXPECT_EQ(table[0], (tag_device_hotkey_info{.name = L"Disk A", .key = L"001", .hotkey = kCtrlA,
                                              .winkey = 1, .reject_times = 4, .device_kind = 1}));
  EXPECT_EQ(table[3].name, kStorageDesc);
  EXPECT_EQ(table[3].reject_times, 12);
  EXPECT_TRUE(prompter.prompts().empty());
}

TEST_F(RegistrationsTest, ScanCoversAll256NumbersAndNoMore) {
  store.StoreRegistration(L"256", L"Last", kCtrlA);
  store.StoreRegistration(L"257", L"Beyond", kCtrlB);
  Load();
  EXPECT_EQ(TableKeys(), std::vector<std::wstring>{L"256"});
}

TEST_F(RegistrationsTest, CodeZeroEntryIsListedButNeverRegistered) {
  store.StoreRegistration(L"001", L"No Hotkey", 0);
  store.StoreRegistration(L"002", L"Disk", kCtrlA);
  ASSERT_EQ(store.Raw(L"HOTKEY", L"001"), L"AAAAAAAA");
  Load();
  EXPECT_EQ(TableKeys(), std::vector<std::wstring>{L"002"});  // id 0 went to 002

  FakeRows rows;
  LoadRegistrationsToList(file, 3, rows);
  ASSERT_EQ(rows.added.size(), 2u);
  EXPECT_EQ(rows.added[0].name, L"No Hotkey");
  EXPECT_EQ(rows.added[0].hotkey, 0u);
}

TEST_F(RegistrationsTest, MalformedEntriesAreSkippedByBothLoaders) {
  store.StoreRegistration(L"001", L"Short Hotkey", kCtrlA);
  store.Set(L"HOTKEY", L"001", L"BEAACA");  // three bytes: no code
  store.StoreRegistration(L"002", L"", kCtrlA);                // no name
  store.StoreRegistration(L"003", L"No Hotkey Value", kCtrlA);
  store.Write(L"HOTKEY", std::wstring(L"003"), std::nullopt);
  store.StoreRegistration(L"STORAGE", kAllStorage, kCtrlB);
  store.Set(L"HOTKEY", L"STORAGE", L"CEAAC");
  Load();
  FakeRows rows;
  LoadRegistrationsToList(file, 3, rows);
  EXPECT_TRUE(registrar.calls().empty());
  EXPECT_TRUE(rows.added.empty());
}

TEST_F(RegistrationsTest, SameHotkeyTwiceNamesTheSecondDeviceAndUsesUpItsId) {
  store.StoreRegistration(L"001", L"First", kCtrlA);
  store.StoreRegistration(L"002", L"Second", kCtrlA);
  store.StoreRegistration(L"003", L"Third", kCtrlB);
  Load();

  const RecordingPrompter::Prompt expected{IDS_HOTKEY_TAKEN_DEVICE, L"Second", IDS_ERROR_CAPTION,
                                           0x40010};
  EXPECT_EQ(prompter.prompts(), std::vector<RecordingPrompter::Prompt>{expected});
  EXPECT_EQ(ActiveIds(), (std::vector<int>{0, 2}));
  EXPECT_EQ(TableKeys(), (std::vector<std::wstring>{L"001", L"(free)", L"003"}));
}

TEST_F(RegistrationsTest, RefusedRegistrationLeavesTheTableAlone) {
  registrar.HoldByOtherProgram(winvalues::kModControl, 0x41);
  EXPECT_FALSE(RegisterDeviceHotkey(5, {.name = L"Disk", .hotkey = kCtrlA}, host));
  EXPECT_TRUE(table.empty());
  EXPECT_EQ(prompter.prompts().size(), 1u);
}

TEST_F(RegistrationsTest, ReleaseFreesEverySlotAndReloadReusesTheTable) {
  store.StoreRegistration(L"001", L"A", kCtrlA);
  store.StoreRegistration(L"002", L"B", kCtrlB);
  Load();
  UnregisterAllHotkeys(host);
  EXPECT_TRUE(registrar.active().empty());
  EXPECT_EQ(TableKeys(), (std::vector<std::wstring>{L"(free)", L"(free)"}));

  // Another program took B meanwhile: its slot stays free and the table keeps its size.
  registrar.HoldByOtherProgram(winvalues::kModControl, 0x42);
  Load();
  EXPECT_EQ(TableKeys(), (std::vector<std::wstring>{L"001", L"(free)"}));
  UnregisterAllHotkeys(host);
  EXPECT_EQ(registrar.calls().back(),
            (RecordingHotkeyRegistrar::Call{RecordingHotkeyRegistrar::Call::Kind::Unregister, 0, {}, false}));
}

TEST_F(RegistrationsTest, KindsOutsideTheFilterAreNeitherRegisteredNorListed) {
  store.StoreRegistration(L"001", L"Firewire", kCtrlA, /*kind=*/0x04);
  store.StoreRegistration(L"002", L"Card", kCtrlB, /*kind=*/0x02);
  store.StoreRegistration(L"STORAGE", kAllStorage, kAltF5, 1);
  Load(/*deviceKind=*/0x02);
  EXPECT_EQ(TableKeys(), std::vector<std::wstring>{L"002"});  // no id for 001 or STORAGE

  FakeRows rows;
  LoadRegistrationsToList(file, 0x02, rows);
  ASSERT_EQ(rows.added.size(), 1u);
  EXPECT_EQ(rows.added[0].name, L"Card");
}

TEST_F(RegistrationsTest, ReleasedStorageEntryIsListedWithItsCountButNeverRegistered) {
  store.StoreRegistration(L"STORAGE", kAllStorage, 0, 1, /*rejectTimes=*/7, /*winkey=*/1);
  Load();
  EXPECT_TRUE(table.empty());
  FakeRows rows;
  LoadRegistrationsToList(file, 1, rows);
  ASSERT_EQ(rows.added.size(), 1u);
  EXPECT_EQ(rows.added[0], (tag_device_hotkey_info{.name = kAllStorage, .key = kAllStorage,
                                                   .winkey = 1, .present = 1, .reject_times = 7}));

  // Saved again from that row, the count is still there for the next opening.
  SaveRegistrations(file, 1, rows);
  EXPECT_EQ(store.Raw(L"REJECT_TIMES", L"STORAGE"), L"7");
  EXPECT_EQ(store.Raw(L"WINKEY", L"STORAGE"), L"1");

  // Without the USB kind there is no all-storage row to give it to.
  FakeRows withoutUsb;
  LoadRegistrationsToList(file, 2, withoutUsb);
  EXPECT_TRUE(withoutUsb.added.empty());
}

TEST_F(RegistrationsTest, StorageEntryOfANonZeroHotkeyIsListedWhateverItsStoredKind) {
  FakeRows rows;
  store.StoreRegistration(L"STORAGE", L"ignored name", kCtrlA, /*kind=*/7, /*rejectTimes=*/9, /*winkey=*/1,
        /*image=*/5);
  LoadRegistrationsToList(file, 1, rows);
  ASSERT_EQ(rows.added.size(), 1u);
  EXPECT_EQ(rows.added[0],
            (tag_device_hotkey_info{.name = kAllStorage, .key = kAllStorage, .hotkey = kCtrlA,
                                    .winkey = 1, .present = 1, .image = 0, .reject_times = 9,
                                    .device_kind = 1}));
  EXPECT_EQ(rows.refreshes, 0);
}

TEST_F(RegistrationsTest, ListedEntriesKeepImageAndHaveNoKey) {
  store.StoreRegistration(L"003", L"Disk", kCtrlA, 1, 6, 1, /*image=*/17);
  FakeRows rows;
  LoadRegistrationsToList(file, 3, rows);
  ASSERT_EQ(rows.added.size(), 1u);
  EXPECT_EQ(rows.added[0], (tag_device_hotkey_info{.name = L"Disk", .hotkey = kCtrlA, .winkey = 1,
                                                    .image = 17, .reject_times = 6,
                                                    .device_kind = 1}));
}

TEST_F(RegistrationsTest, RemovalCountIsWrittenUnderTheEntryKey) {
  WriteBackRemovalCount(file, {.key = L"STORAGE", .reject_times = 100});
  EXPECT_EQ(store.Raw(L"REJECT_TIMES", L"STORAGE"), L"100");
  EXPECT_EQ(store.writes().size(), 1u);
}

TEST_F(RegistrationsTest, SaveDeletesTheSixSectionsFirstThenNumbersRowsInListOrder) {
  store.StoreRegistration(L"009", L"Old", kCtrlA);
  FakeRows rows;
  rows.Add(L"A", kCtrlA, /*image=*/3, /*kind=*/1, /*rejectTimes=*/2);
  rows.Add(L"B", 0, 4, 2);
  rows.Add(kAllStorage, kAltF5, 5, 1, 8);
  rows.Add(L"C", kCtrlB, 6);
  SaveRegistrations(file, 3, rows);

  std::vector<FakeProfileStore::WriteCall> deletions(store.writes().begin(),
                                                     store.writes().begin() + 6);
  std::vector<FakeProfileStore::WriteCall> expected;
  for (const wchar_t* section :
       {L"NAME", L"HOTKEY", L"WINKEY", L"IMAGE", L"DEVICE_KIND", L"REJECT_TIMES"}) {
    expected.push_back({section, std::nullopt, std::nullopt});
  }
  EXPECT_EQ(deletions, expected);

  EXPECT_EQ(store.Text(),
            L"[NAME]\n001=A\n002=B\nSTORAGE=汎用ボリューム\n003=C\n"
            L"[HOTKEY]\n001=BEAACAAA\n002=AAAAAAAA\nSTORAGE=EHAAEAAA\n003=CEAACAAA\n"
            L"[WINKEY]\n001=0\n002=0\nSTORAGE=0\n003=0\n"
            L"[DEVICE_KIND]\n001=1\n002=2\nSTORAGE=1\n003=1\n"
            L"[REJECT_TIMES]\n001=2\n002=0\nSTORAGE=8\n003=0\n"
            L"[IMAGE]\n001=3\n002=4\nSTORAGE=0\n003=6\n");

  // B has no hotkey, so the resident side skips it.
  Load();
  EXPECT_EQ(TableKeys(), (std::vector<std::wstring>{L"001", L"003", L"STORAGE"}));
}

// A save clears the sections, so the first entry written decides where each section
// stands in the file: the storage entry writes IMAGE before DEVICE_KIND.
TEST_F(RegistrationsTest, SectionsStandInTheOrderTheFirstEntryWritesThem) {
  struct Case {
    const char* label;
    bool storageFirst;
    std::vector<std::wstring> sections;
  };
  const Case cases[] = {
      {"storage row first", true,
       {L"NAME", L"HOTKEY", L"WINKEY", L"IMAGE", L"DEVICE_KIND", L"REJECT_TIMES"}},
      {"numbered row first", false,
       {L"NAME", L"HOTKEY", L"WINKEY", L"DEVICE_KIND", L"REJECT_TIMES", L"IMAGE"}},
  };
  for (const Case& c : cases) {
    FakeProfileStore fresh;
    SettingsFile freshFile{fresh};
    FakeRows rows;
    if (c.storageFirst) rows.Add(kAllStorage, kAltF5, 5, 1, 8);
    rows.Add(L"A", kCtrlA, 3);
    if (!c.storageFirst) rows.Add(kAllStorage, kAltF5, 5, 1, 8);
    SaveRegistrations(freshFile, 3, rows);
    EXPECT_EQ(fresh.Sections(), c.sections) << c.label;
    EXPECT_EQ(fresh.Raw(L"IMAGE", L"STORAGE"), L"0") << c.label;
    EXPECT_EQ(fresh.Raw(L"IMAGE", L"001"), L"3") << c.label;
  }
}

TEST_F(RegistrationsTest, MoreThan256RowsAreAllWrittenButOnly256ReadBack) {
  FakeRows rows;
  for (int i = 1; i <= 300; ++i) rows.Add(L"Device " + std::to_wstring(i), 0);
  SaveRegistrations(file, 3, rows);
  EXPECT_EQ(store.Keys(L"NAME").size(), 300u);
  EXPECT_EQ(store.Raw(L"NAME", L"300"), L"Device 300");

  FakeRows listed;
  LoadRegistrationsToList(file, 3, listed);
  ASSERT_EQ(listed.added.size(), 256u);
  EXPECT_EQ(listed.added.back().name, L"Device 256");
}

TEST_F(RegistrationsTest, SaveKeepsRegistrationsThatTheKindFilterHides) {
  store.StoreRegistration(L"001", L"Firewire", kCtrlA, /*kind=*/0x04, /*rejectTimes=*/7, /*winkey=*/1, /*image=*/9);
  store.StoreRegistration(L"002", L"Listed Then Deleted", kCtrlB, /*kind=*/0x02);
  store.StoreRegistration(L"003", L"Usb Disk", kAltF5, /*kind=*/0x01, 3);
  store.StoreRegistration(L"STORAGE", kAllStorage, 0x00020053, 1, 11);

  // USB is not selected: the page lists only the card, and the user removes it.
  FakeRows rows;
  rows.Add(L"New Card", 0x00020043, 2, 0x02);
  SaveRegistrations(file, 0x02, rows);

  EXPECT_EQ(store.Keys(L"NAME"), (std::vector<std::wstring>{L"001", L"002", L"003", L"STORAGE"}));
  EXPECT_EQ(store.Raw(L"NAME", L"001"), L"New Card");
  EXPECT_EQ(store.Raw(L"NAME", L"002"), L"Firewire");
  EXPECT_EQ(store.Raw(L"NAME", L"003"), L"Usb Disk");

  // Selecting every kind again brings back the hidden ones whole.
  FakeRows listed;
  LoadRegistrationsToList(file, 0x07, listed);
  ASSERT_EQ(listed.added.size(), 4u);
  EXPECT_EQ(listed.added[1], (tag_device_hotkey_info{.name = L"Firewire", .hotkey = kCtrlA,
                                                      .winkey = 1, .image = 9, .reject_times = 7,
                                                      .device_kind = 0x04}));
  EXPECT_EQ(listed.added[2].reject_times, 3);
  EXPECT_EQ(listed.added[3].name, kAllStorage);
  EXPECT_EQ(listed.added[3].reject_times, 11);
  EXPECT_EQ(listed.added[3].hotkey, 0x00020053u);
}

TEST_F(RegistrationsTest, StorageRowOnThePageWinsOverTheHiddenStoredOne) {
  store.StoreRegistration(L"STORAGE", kAllStorage, kCtrlA, 1, 11);
  FakeRows rows;
  rows.Add(kAllStorage, kCtrlB, 0, 1, 12);
  SaveRegistrations(file, 0x02, rows);
  EXPECT_EQ(store.Raw(L"HOTKEY", L"STORAGE"), L"CEAACAAA");
  EXPECT_EQ(store.Raw(L"REJECT_TIMES", L"STORAGE"), L"12");
}

TEST_F(RegistrationsTest, NumberedEntryOfAnotherKindNamedLikeTheAllStorageRowStaysNumbered) {
  FakeRows rows;
  rows.Add(kAllStorage, kCtrlA, 0, /*kind=*/1, 4);
  rows.Add(kAllStorage, kCtrlB, 5, /*kind=*/2, 6);
  SaveRegistrations(file, 3, rows);
  EXPECT_EQ(store.Keys(L"NAME"), (std::vector<std::wstring>{L"STORAGE", L"001"}));
  EXPECT_EQ(store.Raw(L"HOTKEY", L"STORAGE"), L"BEAACAAA");
  EXPECT_EQ(store.Raw(L"HOTKEY", L"001"), L"CEAACAAA");
  EXPECT_EQ(store.Raw(L"DEVICE_KIND", L"001"), L"2");
  EXPECT_EQ(store.Raw(L"REJECT_TIMES", L"001"), L"6");
}

}  // namespace

// The moments travel with their rows through a save that renumbers them, are read back by
// both loaders, and reach the resident table also for entries without a hotkey.
TEST_F(RegistrationsTest, EjectMomentsAreSavedWithTheirRowsAndChooseTheResidentEntries) {
  store.StoreRegistration(L"001", L"A", kCtrlA);
  store.StoreRegistration(L"002", L"Gone", kCtrlB);
  file.WriteProfileInt(L"EJECT_ON", L"001", 5);
  file.WriteProfileInt(L"EJECT_ON", L"002", 12);  // a later version's bit 8 is dropped
  FakeRows listed;
  LoadRegistrationsToList(file, 3, listed);
  EXPECT_EQ(listed.added.at(1).eject_on, 4u);

  FakeRows rows;
  using Row = std::tuple<std::wstring, std::uint32_t, std::uint32_t>;
  for (const auto& [text, hotkey, moments] :
       {Row{L"B", 0, kEjectOnLock}, Row{L"A", kCtrlA, 5}, Row{kAllStorage, 0, kEjectOnSleep},
        Row{L"C", kCtrlB, 0}}) {
    rows.Add(text, hotkey);
    rows.rows.back().record.eject_on = moments;
  }
  SaveRegistrations(file, 3, rows);
  EXPECT_EQ(store.Text().substr(store.Text().find(L"[EJECT_ON]")),
            L"[EJECT_ON]\n001=2\n002=5\nSTORAGE=1\n");

  // Hotkeys take ids 0 and 1; the entries without one follow, reached by no WM_HOTKEY.
  Load();
  EXPECT_EQ(TableKeys(), (std::vector<std::wstring>{L"002", L"003", L"001", L"STORAGE"}));
  EXPECT_EQ(ActiveIds(), (std::vector<int>{0, 1}));
  const std::pair<EjectMoment, std::vector<std::size_t>> chosen[] = {
      {kEjectOnSleep, {0, 3}}, {kEjectOnLock, {2}}, {kEjectOnDisplayOff, {0}}};
  for (const auto& [moment, indices] : chosen) EXPECT_EQ(RegistrationsFor(table, moment), indices);
}
