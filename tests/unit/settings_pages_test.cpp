#include <gtest/gtest.h>

#include <climits>
#include <set>
#include <vector>

#include "fakes/FakeProfileStore.h"
#include "fakes/RecordingPrompter.h"
#include "resources/SettingsPagesIds.h"
#include "resources/resource.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsRecord.h"
#include "ui/DisplaySettingsModel.h"
#include "ui/OptionsModel.h"
#include "ui/SheetHelp.h"
#include "ui/VersionPicture.h"

// Boxes are spelled positionally; the language left out follows Windows on purpose.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {

using WriteCall = FakeProfileStore::WriteCall;

WriteCall AppWrite(const wchar_t* key, std::wstring value) {
  return {L"APP", std::wstring(key), std::move(value)};
}

// ------------------------------------------------------------------ sheet help

TEST(SheetHelp, EachPageOpensItsOwnTopicAndNothingOutsideTheSheet) {
  const struct {
    int page;
    std::optional<unsigned> topic;
  } cases[] = {
      {0, 12100u}, {1, 12102u}, {2, 12103u}, {3, 12104u},
      {-1, std::nullopt}, {4, std::nullopt}, {INT_MIN, std::nullopt}, {INT_MAX, std::nullopt},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(SheetHelpTopic(c.page), c.topic) << "page " << c.page;
  }
}

// ------------------------------------------------------------ display settings

TEST(DisplaySettingsPage, BoxesAtOpeningFollowTheRecordAndTheWindowsVersion) {
  const struct {
    const char* what;
    std::int32_t dispRejectErr;
    std::int32_t removeWindow;
    std::uint32_t deviceKind;
    bool xpOrLater;
    DisplayPageStart expected;
  } cases[] = {
      {"defaults on 2000", 0, 0, 3, false, {{false, false, 3}, true}},
      {"remove window on 2000", 1, 1, 3, false, {{true, true, 3}, true}},
      {"any non-zero value ticks", 2, 7, 3, false, {{true, true, 3}, true}},
      {"remove window on XP: disabled and clear", 0, 1, 3, true, {{false, false, 3}, false}},
      {"hub bit alone ticks nothing", 0, 0, 8, true, {{false, false, 0}, false}},
      {"every kind", 0, 0, 0xFF, true, {{false, false, 0xF7}, false}},
      {"a file of before the storage kinds", 0, 0, 0x3F, true, {{false, false, 0x37}, false}},
      {"foreign bits are not boxes", 0, 0, 0xFFFFFF00u | kKindNet, true, {{false, false, 0x20}, false}},
      {"no kind", 1, 0, 0, true, {{true, false, 0}, false}},
  };
  for (const auto& c : cases) {
    SettingsRecord record;
    record.m_bDispRejectErr = c.dispRejectErr;
    record.m_bRemoveWindow = c.removeWindow;
    record.m_nDeviceKind = c.deviceKind;
    EXPECT_EQ(DisplayPageFromRecord(record, c.xpOrLater), c.expected) << c.what;
  }
}

TEST(DisplaySettingsPage, EachKindBoxStandsForItsOwnBit) {
  const std::vector<std::pair<int, std::uint32_t>> expected = {
      {1014, 0x01}, {1018, 0x10}, {1009, 0x08}, {1015, 0x02}, {1016, 0x04}, {1019, 0x20},
      {1020, 0x80}, {1021, 0x40}};
  std::vector<std::pair<int, std::uint32_t>> actual;
  for (const DeviceKindBox& box : kDeviceKindBoxes) actual.emplace_back(box.controlId, box.bit);
  EXPECT_EQ(actual, expected);

  for (const DeviceKindBox& box : kDeviceKindBoxes) {
    EXPECT_EQ(TickedDeviceKinds([&](int id) { return id == box.controlId; }), box.bit);
  }
  EXPECT_EQ(TickedDeviceKinds([](int) { return false; }), 0u);
}

TEST(DisplaySettingsPage, BoxClicksChangeTheFilterAtOnceAndCancelPutsItBack) {
  std::uint32_t filter = kKindUsb | kKindPcmcia | kKindUsbHub;
  DeviceKindEdit edit(filter);

  edit.OnBoxClicked(kKind1394, true);
  EXPECT_EQ(filter, 0x0Fu) << "the device list sees the new kind before any apply";
  edit.OnBoxClicked(kKindUsb, false);
  EXPECT_EQ(filter, 0x0Eu);
  edit.OnBoxClicked(kKindPcmcia, true);  // already set: stays set
  EXPECT_EQ(filter, 0x0Eu);
  edit.OnBoxClicked(kKindNet, false);  // already clear: stays clear
  EXPECT_EQ(filter, 0x0Eu);
  edit.OnBoxClicked(kKindUsbHid, true);
  EXPECT_EQ(filter, 0x1Eu);

  edit.OnCancel();
  EXPECT_EQ(filter, kKindUsb | kKindPcmcia | kKindUsbHub);
}

TEST(DisplaySettingsPage, ApplyWritesItsFourKeysInOrder) {
  const struct {
    const char* what;
    DisplayPageBoxes boxes;
    bool xpOrLater;
    std::int32_t removeWindowTime;
    std::vector<WriteCall> expected;
  } cases[] = {
      {"2000 keeps the remove-window box",
       {true, true, 0x03},
       false,
       3,
       {AppWrite(L"DISP_REJECT_ERR", L"1"), AppWrite(L"REMOVE_WINDOW", L"1"),
        AppWrite(L"DEVICE_KIND", L"3"), AppWrite(L"REMOVE_WINDOW_TIME", L"3")}},
      {"XP stores 0 whatever the box says",
       {false, true, 0x15},
       true,
       3,
       {AppWrite(L"DISP_REJECT_ERR", L"0"), AppWrite(L"REMOVE_WINDOW", L"0"),
        AppWrite(L"DEVICE_KIND", L"21"), AppWrite(L"REMOVE_WINDOW_TIME", L"3")}},
      {"hub bit never written, time written back as held",
       {false, false, 0x3F},
       true,
       -12,
       {AppWrite(L"DISP_REJECT_ERR", L"0"), AppWrite(L"REMOVE_WINDOW", L"0"),
        AppWrite(L"DEVICE_KIND", L"55"), AppWrite(L"REMOVE_WINDOW_TIME", L"-12")}},
      {"no kind at all",
       {false, false, 0x08},
       false,
       0,
       {AppWrite(L"DISP_REJECT_ERR", L"0"), AppWrite(L"REMOVE_WINDOW", L"0"),
        AppWrite(L"DEVICE_KIND", L"0"), AppWrite(L"REMOVE_WINDOW_TIME", L"0")}},
  };
  for (const auto& c : cases) {
    FakeProfileStore store;
    SettingsFile file(store);
    ApplyDisplaySettings(file, c.boxes, c.xpOrLater, c.removeWindowTime);
    EXPECT_EQ(store.writes(), c.expected) << c.what;
  }
}

TEST(DisplaySettingsPage, StoredHubBitAndRemoveWindowDoNotSurviveAnApplyOnXp) {
  FakeProfileStore store;
  store.Set(L"APP", L"DEVICE_KIND", L"9");
  store.Set(L"APP", L"REMOVE_WINDOW", L"1");
  SettingsFile file(store);
  SettingsRecord record;
  LoadSettings(file, false, false, record);

  const DisplayPageStart start = DisplayPageFromRecord(record, /*xpOrLater=*/true);
  ApplyDisplaySettings(file, start.boxes, true, record.m_nRemoveWindowTime);

  EXPECT_EQ(store.Raw(L"APP", L"DEVICE_KIND"), L"1");
  EXPECT_EQ(store.Raw(L"APP", L"REMOVE_WINDOW"), L"0");
  EXPECT_EQ(store.Raw(L"APP", L"REMOVE_WINDOW_TIME"), L"3");
  EXPECT_EQ(store.Raw(L"APP", L"DISP_REJECT_ERR"), L"0");
}

// -------------------------------------------------------------------- options

class FakeShortcutFiles : public ShortcutFiles {
 public:
  bool exists = false;
  winvalues::HResult createResult = winvalues::kSOk;
  bool deleteSucceeds = true;
  std::vector<std::wstring> calls;

  bool Exists(const std::wstring& path) override {
    calls.push_back(L"exists " + path);
    return exists;
  }
  winvalues::HResult Create(const std::wstring& path) override {
    calls.push_back(L"create " + path);
    if (createResult == winvalues::kSOk) exists = true;
    return createResult;
  }
  bool Delete(const std::wstring& path) override {
    calls.push_back(L"delete " + path);
    if (deleteSucceeds) exists = false;
    return deleteSucceeds;
  }
};

constexpr wchar_t kLink[] = L"C:\\Startup\\Tollevane.LNK";

TEST(OptionsPage, ShortcutChangesOnlyWhenTheBoxDisagreesWithTheFileSystem) {
  EXPECT_EQ(DecideShortcutChange(true, true), ShortcutChange::None);
  EXPECT_EQ(DecideShortcutChange(false, false), ShortcutChange::None);
  EXPECT_EQ(DecideShortcutChange(true, false), ShortcutChange::Create);
  EXPECT_EQ(DecideShortcutChange(false, true), ShortcutChange::Delete);
}

TEST(OptionsPage, StartupBoxShowsTheShortcutFileNotTheStartupKey) {
  SettingsRecord record;
  record.m_bStartup = 1;
  record.m_bDispMessage = 0;
  record.m_bCloseExplorer = 3;
  record.m_strCloseExplorerDrive = L"E:\\;F:\\";

  FakeShortcutFiles files;
  OptionsPageStart start = OptionsPageFromRecord(record, kLink, files);
  EXPECT_EQ(start, (OptionsPageStart{{false, false, true, L"E:\\;F:\\"}, true}))
      << "a shortcut deleted by hand shows a clear box although STARTUP is 1";

  record.m_bStartup = 0;
  record.m_bDispMessage = 1;
  files.exists = true;
  start = OptionsPageFromRecord(record, kLink, files);
  EXPECT_EQ(start, (OptionsPageStart{{true, true, true, L"E:\\;F:\\"}, true}));

  files.calls.clear();
  start = OptionsPageFromRecord(record, L"", files);
  EXPECT_EQ(start, (OptionsPageStart{{false, true, true, L"E:\\;F:\\"}, false}))
      << "no Startup folder: disabled and clear";
  EXPECT_TRUE(files.calls.empty());
}

TEST(OptionsPage, ApplyChangesTheShortcutReportsFailureAndAlwaysWritesItsFiveKeys) {
  const RecordingPrompter::Prompt kFailed{IDS_STARTUP_FAILED, std::nullopt, IDS_ERROR_CAPTION, 0x10};
  const std::wstring link = kLink;
  const struct {
    const char* what;
    std::wstring path;
    bool ticked;
    bool exists;
    winvalues::HResult createResult;
    bool deleteSucceeds;
    std::vector<std::wstring> calls;
    bool ok;
  } cases[] = {
      {"ticked, file there: nothing written", link, true, true, winvalues::kSOk, true,
       {L"exists " + link}, true},
      {"ticked, no file: created", link, true, false, winvalues::kSOk, true,
       {L"exists " + link, L"create " + link}, true},
      {"ticked, creation fails", link, true, false, winvalues::kEFail, true,
       {L"exists " + link, L"create " + link}, false},
      {"ticked, COM would not start", link, true, false, winvalues::kENoInterface, true,
       {L"exists " + link, L"create " + link}, false},
      {"clear, file there: deleted", link, false, true, winvalues::kSOk, true,
       {L"exists " + link, L"delete " + link}, true},
      {"clear, deletion fails", link, false, true, winvalues::kSOk, false,
       {L"exists " + link, L"delete " + link}, false},
      {"clear, no file: nothing", link, false, false, winvalues::kSOk, true,
       {L"exists " + link}, true},
      {"no Startup folder", L"", false, false, winvalues::kEFail, false, {}, true},
  };
  for (const auto& c : cases) {
    FakeProfileStore store;
    SettingsFile file(store);
    FakeShortcutFiles files;
    files.exists = c.exists;
    files.createResult = c.createResult;
    files.deleteSucceeds = c.deleteSucceeds;
    RecordingPrompter prompter;
    const OptionsPageBoxes boxes{c.ticked, true, false, L"d:"};

    EXPECT_EQ(ApplyOptions(file, files, prompter, c.path, boxes, 500), c.ok) << c.what;
    EXPECT_EQ(files.calls, c.calls) << c.what;
    EXPECT_EQ(prompter.prompts(),
              c.ok ? std::vector<RecordingPrompter::Prompt>{}
                   : std::vector<RecordingPrompter::Prompt>{kFailed})
        << c.what;
    // STARTUP holds the box even when the shortcut does not match it.
    const std::vector<WriteCall> expected = {
        AppWrite(L"DISP_MESSAGE", L"1"), AppWrite(L"STARTUP", c.ticked ? L"1" : L"0"),
        AppWrite(L"CLOSE_EXPLORER", L"0"), AppWrite(L"CLOSE_EXPLORER_DRIVE", L"d:"),
        AppWrite(L"CLOSE_EXPLORER_SLEEP", L"500")};
    EXPECT_EQ(store.writes(), expected) << c.what;
  }
}

TEST(OptionsPage, DriveTextAndSleepAreStoredExactlyAsHeld) {
  FakeProfileStore store;
  store.Set(L"APP", L"CLOSE_EXPLORER_SLEEP", L"-40");
  SettingsFile file(store);
  SettingsRecord record;
  LoadSettings(file, false, true, record);
  store.ClearLog();

  FakeShortcutFiles files;
  RecordingPrompter prompter;
  const OptionsPageBoxes boxes{false, false, true, L"E;F"};
  ApplyOptions(file, files, prompter, kLink, boxes, record.m_nCloseExplorerSleep);

  EXPECT_EQ(store.Raw(L"APP", L"CLOSE_EXPLORER_DRIVE"), L"E;F");
  EXPECT_EQ(store.Raw(L"APP", L"CLOSE_EXPLORER_SLEEP"), L"-40");
  EXPECT_EQ(store.Raw(L"APP", L"CLOSE_EXPLORER"), L"1");
  EXPECT_EQ(store.Raw(L"APP", L"DISP_MESSAGE"), L"0");
  EXPECT_EQ(store.Raw(L"APP", L"STARTUP"), L"0");
}

TEST(OptionsPage, LanguageIsWrittenOnlyWhenTheChoiceDiffersFromTheFile) {
  struct Case {
    std::optional<std::wstring> stored;
    std::optional<UiLanguage> chosen;
    std::optional<std::wstring> after;
  };
  const Case cases[] = {
      {std::nullopt, std::nullopt, std::nullopt},
      {std::nullopt, UiLanguage::English, L"en"},
      {L"en", UiLanguage::Japanese, L"ja"},
      {L"ja", std::nullopt, std::nullopt},  // following Windows removes the key
      {L"fr", std::nullopt, L"fr"},         // which already followed Windows
      {L"EN", UiLanguage::English, L"EN"},
  };
  for (const Case& c : cases) {
    FakeProfileStore store;
    if (c.stored) store.Set(L"APP", L"LANGUAGE", *c.stored);
    SettingsFile file(store);
    FakeShortcutFiles files;
    RecordingPrompter prompter;
    EXPECT_EQ(StoredLanguageChoice(file), c.stored ? LanguageFromSetting(*c.stored) : std::nullopt);
    OptionsPageBoxes boxes = OptionsPageFromRecord(SettingsRecord{}, kLink, files).boxes;
    boxes.language = c.chosen;
    ApplyOptions(file, files, prompter, kLink, boxes, 500);
    EXPECT_EQ(store.Raw(L"APP", L"LANGUAGE"), c.after) << testing::PrintToString(c.stored);
  }
}

// --------------------------------------------------------------------- version

TEST(VersionPage, KeepsOnePictureByWindowsVersionAndDestroysTheOthersInOrder) {
  const struct {
    unsigned major;
    unsigned minor;
    VersionPictures expected;
  } cases[] = {
      {5, 0, {1013, {1014, 1012}}},  // Windows 2000: picture 129
      {4, 10, {1013, {1014, 1012}}},
      {5, 1, {1012, {1014, 1013}}},  // XP: picture 130
      {5, 2, {1012, {1014, 1013}}},  // Server 2003
      {6, 0, {1014, {1013, 1012}}},  // Vista: picture 136
      {6, 1, {1014, {1013, 1012}}},
      {10, 0, {1014, {1013, 1012}}},
  };
  for (const auto& c : cases) {
    const VersionPictures pictures = ChooseVersionPicture(c.major, c.minor);
    EXPECT_EQ(pictures, c.expected) << c.major << "." << c.minor;
    const std::set<int> all = {pictures.kept, pictures.destroyed[0], pictures.destroyed[1]};
    EXPECT_EQ(all, (std::set<int>{IDC_VERSION_PICTURE_XP, IDC_VERSION_PICTURE_2000,
                                  IDC_VERSION_PICTURE_VISTA}))
        << "exactly one picture survives";
  }
}

}  // namespace
