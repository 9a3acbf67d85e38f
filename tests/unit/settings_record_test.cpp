#include <gtest/gtest.h>

#include "fakes/FakeProfileStore.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsRecord.h"

namespace {

TEST(LoadSettings, MissingKeysGiveTheDefaultsOfEachMode) {
  struct Case {
    bool commandLine;
    bool vista;
    std::uint32_t deviceKind;
    std::int32_t closeExplorer;
  };
  const Case cases[] = {
      {false, false, 195, 0},
      {false, true, 195, 1},
      {true, false, 223, 0},
      {true, true, 223, 1},
  };
  for (const Case& c : cases) {
    FakeProfileStore store;
    SettingsRecord record;
    record.m_strCloseExplorerDrive = L"stale";
    LoadSettings(SettingsFile(store), c.commandLine, c.vista, record);

    EXPECT_EQ(record.m_bDispRejectErr, 0);
    EXPECT_EQ(record.m_nDeviceKind, c.deviceKind);
    EXPECT_EQ(record.m_bRemoveWindow, 0);
    EXPECT_EQ(record.m_bDispMessage, 1);
    EXPECT_EQ(record.m_nRemoveWindowTime, 3);
    EXPECT_EQ(record.m_bStartup, 1);
    EXPECT_EQ(record.m_bCloseExplorer, c.closeExplorer);
    EXPECT_EQ(record.m_strCloseExplorerDrive, L"");
    EXPECT_EQ(record.m_nCloseExplorerSleep, 500);
    // Loading never creates the file.
    EXPECT_TRUE(store.writes().empty());
  }
}

TEST(LoadSettings, StoredValuesWinAndAreTakenAsRead) {
  FakeProfileStore store;
  store.Set(L"APP", L"DISP_REJECT_ERR", L"2");
  store.Set(L"app", L"device_kind", L"4");
  store.Set(L"APP", L"REMOVE_WINDOW", L"1");
  store.Set(L"APP", L"DISP_MESSAGE", L"0");
  store.Set(L"APP", L"REMOVE_WINDOW_TIME", L"-1");
  store.Set(L"APP", L"STARTUP", L"0");
  store.Set(L"APP", L"CLOSE_EXPLORER", L"0");
  store.Set(L"APP", L"CLOSE_EXPLORER_DRIVE", L"DE");
  store.Set(L"APP", L"CLOSE_EXPLORER_SLEEP", L"-300");

  SettingsRecord record;
  LoadSettings(SettingsFile(store), /*commandLineDefaults=*/true, /*vistaOrLater=*/true, record);
  EXPECT_EQ(record.m_bDispRejectErr, 2);
  EXPECT_EQ(record.m_nDeviceKind, 4u);
  EXPECT_EQ(record.m_bRemoveWindow, 1);
  EXPECT_EQ(record.m_bDispMessage, 0);
  EXPECT_EQ(record.m_nRemoveWindowTime, -1);
  EXPECT_EQ(record.m_bStartup, 0);
  EXPECT_EQ(record.m_bCloseExplorer, 0);
  EXPECT_EQ(record.m_strCloseExplorerDrive, L"DE");
  EXPECT_EQ(record.m_nCloseExplorerSleep, -300);
}

TEST(LoadSettings, ReadsTheNineKeysOfAppInOrder) {
  FakeProfileStore store;
  SettingsRecord record;
  LoadSettings(SettingsFile(store), false, false, record);
  std::vector<FakeProfileStore::ReadCall> expected;
  for (const wchar_t* key :
       {L"DISP_REJECT_ERR", L"DEVICE_KIND", L"REMOVE_WINDOW", L"DISP_MESSAGE",
        L"REMOVE_WINDOW_TIME", L"STARTUP", L"CLOSE_EXPLORER", L"CLOSE_EXPLORER_DRIVE",
        L"CLOSE_EXPLORER_SLEEP"}) {
    expected.push_back({L"APP", key});
  }
  std::vector<FakeProfileStore::ReadCall> reads = store.reads();
  std::erase_if(reads, [](const auto& read) { return read.section == L"KEEP"; });  // not APP's
  EXPECT_EQ(reads, expected);
}

TEST(LoadSettings, LongDriveListArrivesCutTo4095Characters) {
  FakeProfileStore store;
  store.Set(L"APP", L"CLOSE_EXPLORER_DRIVE", std::wstring(5000, L'E'));
  SettingsRecord record;
  LoadSettings(SettingsFile(store), false, false, record);
  EXPECT_EQ(record.m_strCloseExplorerDrive, std::wstring(4095, L'E'));
}

}  // namespace
