#include <gtest/gtest.h>

#include "hotkeys/HotkeyCode.h"

namespace {

constexpr std::uint32_t Code(unsigned modifierByte, unsigned key) { return (modifierByte << 16) | key; }

struct HotkeyCase {
  std::uint32_t code;
  bool winkey;
  std::wstring text;
  unsigned modifiers;  // MOD_* for RegisterHotKey
  unsigned virtualKey;
};

const HotkeyCase kHotkeyCases[] = {
    {0, true, L"なし", 0x8, 0x00},  // the text ignores the flag, the conversion does not
    {0, false, L"なし", 0x0, 0x00},
    {Code(0x02, 0x41), false, L"Ctrl + A", 0x2, 0x41},
    {Code(0x02, 0x41), true, L"Win + Ctrl + A", 0xA, 0x41},
    {Code(0x06, 0x74), false, L"Ctrl + Alt + F5", 0x3, 0x74},
    {Code(0x01, 0x41), true, L"Win + Shift + A", 0xC, 0x41},
    {Code(0x07, 0x70), false, L"Ctrl + Shift + Alt + F1", 0x7, 0x70},
    {Code(0x05, 0x70), false, L"Shift + Alt + F1", 0x5, 0x70},
    {Code(0x04, 0x2E), false, L"Alt + Delete", 0x1, 0x2E},
    {Code(0x0A, 0x24), false, L"Ctrl + Home", 0x2, 0x24},  // extended bit dropped
    {Code(0x02, 0x3A), false, L"Ctrl + -", 0x2, 0x3A},      // code without a name
    {Code(0x02, 0x00), false, L"Ctrl + ", 0x2, 0x00},       // no key yet
    {Code(0x00, 0x41), false, L"A", 0x0, 0x41},
    {Code(0x02, 0x100), false, L"Ctrl + -", 0x2, 0x100},    // hand-edited key past 0xFF
    {Code(0x02, 0xDC), false, L"Ctrl + \\", 0x2, 0xDC},
};

TEST(HotkeyCode, TextFollowsWinCtrlShiftAltOrder) {
  for (const HotkeyCase& c : kHotkeyCases) {
    EXPECT_EQ(HotkeyToText(c.code, c.winkey), c.text) << std::hex << c.code;
  }
}

TEST(HotkeyCode, ModifierConversionSwapsShiftAndAlt) {
  for (const HotkeyCase& c : kHotkeyCases) {
    EXPECT_EQ(HotkeyToModifiers(c.code, c.winkey), (HotkeyModifiers{c.modifiers, c.virtualKey}))
        << std::hex << c.code;
  }
}

TEST(HotkeyCode, ExtendedBitKeepsCodesApart) {
  EXPECT_NE(Code(0x0A, 0x24), Code(0x02, 0x24));
  EXPECT_EQ(HotkeyToModifiers(Code(0x0A, 0x24), false), HotkeyToModifiers(Code(0x02, 0x24), false));
}

TEST(HotkeyCode, ControlValueRoundTrips) {
  const std::pair<std::uint16_t, std::uint32_t> cases[] = {
      {0x0241, Code(0x02, 0x41)}, {0x0A24, Code(0x0A, 0x24)}, {0x0070, Code(0x00, 0x70)},
      {0xFFFF, Code(0xFF, 0xFF)}, {0x0000, 0},
  };
  for (const auto& [control, code] : cases) {
    EXPECT_EQ(HotkeyFromControl(control), code);
    EXPECT_EQ(HotkeyToControl(code), control);
  }
}

TEST(KeyNames, NamedKeysShowTheirText) {
  const std::pair<unsigned, std::wstring_view> cases[] = {
      {0x00, L""},           {0x01, L"ﾏｳｽ左"},        {0x06, L"ﾏｳｽX2"},
      {0x08, L"Back Space"}, {0x15, L"IME ｶﾅ"},       {0x19, L"IME 漢字"},
      {0x1D, L"IME 無変換"}, {0x1F, L"IME ﾓｰﾄﾞ変更"}, {0x20, L"Space"},
      {0x25, L"←"},          {0x28, L"↓"},            {0x2C, L"Print Screen"},
      {0x2F, L"Help"},       {0x5B, L"左Win"},        {0x5D, L"ｱﾌﾟﾘｹｰｼｮﾝ"},
      {0x5F, L"Sleep"},      {0x6C, L"Num Enter"},    {0x6F, L"Num /"},
      {0x90, L"Num Lock"},   {0x91, L"Scroll Lock"},  {0xA5, L"右Alt"},
      {0xA6, L"戻る"},       {0xAB, L"お気に入り"},   {0xAF, L"ﾎﾞﾘｭｰﾑｱｯﾌﾟ"},
      {0xB3, L"ﾒﾃﾞｨｱ Start / Stop"},                  {0xB7, L"ｱﾌﾟﾘｹｰｼｮﾝ2 起動"},
      {0xBA, L":"},          {0xBD, L"-"},            {0xC0, L"@"},
      {0xDB, L"["},          {0xDC, L"\\"},           {0xDE, L"^"},
      {0xE2, L"\\"},         {0xE5, L"IME"},          {0xE7, L"Packet"},
      {0xF6, L"Attn"},       {0xFB, L"Zoom"},         {0xFD, L"PA1"},
      {0xFE, L"Clear"},
  };
  for (const auto& [key, name] : cases) EXPECT_EQ(KeyName(key), name) << std::hex << key;
}

TEST(KeyNames, RunsOfDigitsLettersAndFunctionKeys) {
  for (unsigned i = 0; i < 10; ++i) {
    EXPECT_EQ(KeyName(0x30 + i), std::to_wstring(i));
    EXPECT_EQ(KeyName(0x60 + i), L"Num " + std::to_wstring(i));
  }
  for (unsigned i = 0; i < 26; ++i) EXPECT_EQ(KeyName(0x41 + i), std::wstring(1, L'A' + i));
  for (unsigned i = 0; i < 24; ++i) EXPECT_EQ(KeyName(0x70 + i), L"F" + std::to_wstring(i + 1));
}

TEST(KeyNames, UnnamedAndOemRangesAndCodesPastTheTable) {
  const std::pair<unsigned, unsigned> unnamed[] = {
      {0x07, 0x07}, {0x0A, 0x0B}, {0x0E, 0x0F}, {0x16, 0x18}, {0x1A, 0x1A}, {0x1E, 0x1E},
      {0x3A, 0x40}, {0x5E, 0x5E}, {0x88, 0x8F}, {0x97, 0x9F}, {0xA7, 0xA7}, {0xB8, 0xB9},
      {0xC1, 0xDA}, {0xE0, 0xE0}, {0xE8, 0xE8}, {0xFC, 0xFC}, {0xFF, 0xFF}, {0x100, 0x101},
      {0xFFFF, 0xFFFF}};
  for (const auto& [first, last] : unnamed) {
    for (unsigned key = first; key <= last; ++key) EXPECT_EQ(KeyName(key), L"-") << std::hex << key;
  }
  const std::pair<unsigned, unsigned> oem[] = {
      {0x92, 0x96}, {0xDF, 0xDF}, {0xE1, 0xE1}, {0xE3, 0xE4}, {0xE6, 0xE6}, {0xE9, 0xF5}};
  for (const auto& [first, last] : oem) {
    for (unsigned key = first; key <= last; ++key) EXPECT_EQ(KeyName(key), L"OEM") << std::hex << key;
  }
}

}  // namespace
