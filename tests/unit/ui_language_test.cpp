// The language choice, and what changes with it: key names and the all-storage texts.
// Whatever is stored stays the same in both languages.
#include <gtest/gtest.h>

#include <string>

#include "common/UiLanguage.h"
#include "pnp/SystemNames.h"
#include "hotkeys/HotkeyCode.h"

namespace {

TEST(UiLanguage, SettingWinsOverWindowsWhenItNamesALanguage) {
  struct Case {
    std::uint16_t windows;
    std::wstring setting;
    UiLanguage chosen;
  };
  const Case cases[] = {
      {0x0411, L"", UiLanguage::Japanese}, {0x0011, L"", UiLanguage::Japanese},
      {0x0409, L"", UiLanguage::English},  {0x0804, L"", UiLanguage::English},
      {0x0000, L"", UiLanguage::English},  {0x0409, L"ja", UiLanguage::Japanese},
      {0x0411, L"en", UiLanguage::English}, {0x0411, L"EN", UiLanguage::English},
      {0x0409, L"Ja", UiLanguage::Japanese}, {0x0411, L"fr", UiLanguage::Japanese},
      {0x0409, L"japanese", UiLanguage::English}, {0x0411, L"e", UiLanguage::Japanese},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ChooseUiLanguage(c.windows, c.setting), c.chosen)
        << std::hex << c.windows << " " << testing::PrintToString(c.setting);
  }
}

bool HasJapanese(std::wstring_view text) {
  for (const wchar_t c : text)
    if ((c >= 0x3000 && c <= 0x30FF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xFF00 && c <= 0xFFEF))
      return true;
  return false;
}

TEST(UiLanguage, EnglishKeyNamesReplaceOnlyTheJapaneseOnes) {
  for (unsigned key = 0; key <= 0x100; ++key) {
    const std::wstring_view japanese = KeyName(key);
    const std::wstring_view english = KeyName(key, UiLanguage::English);
    EXPECT_FALSE(HasJapanese(english)) << std::hex << key;
    if (!HasJapanese(japanese)) {
      EXPECT_EQ(english, japanese) << std::hex << key;
    }
  }
  EXPECT_EQ(HotkeyToText(0, false, UiLanguage::English), L"None");
  EXPECT_EQ(HotkeyToText(0x000200A0, true, UiLanguage::English), L"Win + Ctrl + Left Shift");
}

TEST(UiLanguage, EnglishNamesKeepTheStoredAllStorageNameAndKnowBothDescriptions) {
  for (const unsigned major : {5u, 6u}) {
    const SystemNames japanese = SystemNamesFor(major);
    const SystemNames english = SystemNamesFor(major, UiLanguage::English);
    EXPECT_EQ(english.storageDesc, L"USB Mass Storage Device");
    EXPECT_EQ(english.allStorageLabel, L"All USB Mass Storage Devices");
    EXPECT_EQ(english.allStorageName, japanese.allStorageName);
    EXPECT_EQ(japanese.allStorageLabel, japanese.allStorageName);
    for (const SystemNames* names : {&japanese, &english}) {
      EXPECT_TRUE(names->IsStorageName(japanese.storageDesc)) << major;
      EXPECT_TRUE(names->IsStorageName(L"usb mass storage device")) << major;
      EXPECT_FALSE(names->IsStorageName(english.allStorageLabel)) << major;
    }
  }
}

}  // namespace
