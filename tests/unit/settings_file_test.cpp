#include <gtest/gtest.h>

#include "fakes/FakeProfileStore.h"
#include "settings/SettingsFile.h"

namespace {

TEST(SettingsFile, IntegersAreWrittenAsSignedDecimalText) {
  FakeProfileStore store;
  SettingsFile file(store);
  EXPECT_TRUE(file.WriteProfileInt(L"APP", L"A", -5));
  EXPECT_TRUE(file.WriteProfileInt(L"APP", L"B", 2147483647));
  EXPECT_EQ(store.Raw(L"APP", L"A"), L"-5");
  EXPECT_EQ(store.Raw(L"APP", L"B"), L"2147483647");
  EXPECT_EQ(file.GetProfileInt(L"APP", L"A", 9), -5);
  EXPECT_EQ(file.GetProfileInt(L"APP", L"missing", 9), 9);
}

TEST(SettingsFile, BytesAreStoredAsLettersAndMissingValuesHoldNone) {
  FakeProfileStore store;
  SettingsFile file(store);
  EXPECT_TRUE(file.WriteProfileBytes(L"HOTKEY", L"001", {0x41, 0x00, 0x02, 0x00}));
  EXPECT_EQ(store.Raw(L"HOTKEY", L"001"), L"BEAACAAA");
  EXPECT_EQ(file.GetProfileBytes(L"hotkey", L"001"),
            std::optional<ByteBlock>(ByteBlock{0x41, 0x00, 0x02, 0x00}));
  EXPECT_EQ(file.GetProfileBytes(L"HOTKEY", L"002"), std::nullopt);
  store.Set(L"HOTKEY", L"003", L"");
  EXPECT_EQ(file.GetProfileBytes(L"HOTKEY", L"003"), std::nullopt);
}

TEST(SettingsFile, MissingKeyOrValueDeletes) {
  FakeProfileStore store;
  SettingsFile file(store);
  file.WriteProfileString(L"NAME", L"001", L"Disk");
  file.WriteProfileString(L"NAME", L"002", L"Card");
  file.WriteProfileString(L"WINKEY", L"001", L"1");
  EXPECT_TRUE(file.WriteProfileString(L"NAME", L"001", std::nullopt));
  EXPECT_EQ(store.Keys(L"NAME"), std::vector<std::wstring>{L"002"});
  EXPECT_TRUE(file.WriteProfileString(L"name", std::nullopt, std::nullopt));
  EXPECT_FALSE(store.HasSection(L"NAME"));
  EXPECT_TRUE(store.HasSection(L"WINKEY"));
}

TEST(SettingsFile, EveryWrittenStringReadsBackExactly) {
  struct Case {
    const wchar_t* value;
    const wchar_t* stored;  // as it stands in the file
  };
  const Case cases[] = {
      {L"USB Disk", L"USB Disk"},          {L"\"CF Card\"", L"\"\"CF Card\"\""},
      {L" Edge Disk ", L"\" Edge Disk \""}, {L"Edge Disk ", L"\"Edge Disk \""},
      {L"\tTabbed", L"\"\tTabbed\""},       {L"'Zip'", L"\"'Zip'\""},
      {L"\"half", L"\"\"half\""},           {L"half'", L"\"half'\""},
      {L"in \"the\" middle", L"in \"the\" middle"}, {L"\"", L"\"\"\""},
      {L"C:;D:", L"C:;D:"},                 {L"", L""},
  };
  for (const Case& c : cases) {
    FakeProfileStore store;
    SettingsFile file(store);
    EXPECT_TRUE(file.WriteProfileString(L"NAME", std::wstring(L"001"), std::wstring(c.value)));
    EXPECT_EQ(store.Raw(L"NAME", L"001"), c.stored) << c.value;
    EXPECT_EQ(file.GetProfileString(L"NAME", L"001"), c.value) << c.value;
  }
}

TEST(SettingsFile, OldFilesWithQuotedValuesLoadAsBefore) {
  FakeProfileStore store;
  SettingsFile file(store);
  store.Set(L"APP", L"CLOSE_EXPLORER_DRIVE", L"\"C:;D:\"");
  EXPECT_EQ(file.GetProfileString(L"APP", L"CLOSE_EXPLORER_DRIVE"), L"C:;D:");
}

TEST(SettingsFile, FailedWritesAreReportedAndLeaveTheFileAlone) {
  FakeProfileStore store;
  SettingsFile file(store);
  store.SetWritable(false);
  EXPECT_FALSE(file.WriteProfileInt(L"APP", L"STARTUP", 0));
  EXPECT_FALSE(file.WriteProfileBytes(L"HOTKEY", L"001", {1, 2, 3, 4}));
  EXPECT_EQ(store.Text(), L"");
}

}  // namespace
