#include <algorithm>
#include <array>
#include <string_view>
#include <utility>

#include "hotkeys/HotkeyCode.h"

namespace {

// Half-width katakana and the JIS keyboard's engravings of the punctuation keys are
// intended. 0xBD, the minus key, is named "-", the same text as a code without a name.
// The tables keep their rows as laid out by hand: each is read against the key codes.
// clang-format off
constexpr std::array<std::wstring_view, 256> kKeyNames = {
    /* 0x00 */ L"", L"ﾏｳｽ左", L"ﾏｳｽ右", L"Cancel", L"ﾏｳｽ中", L"ﾏｳｽX1", L"ﾏｳｽX2", L"-",
    /* 0x08 */ L"Back Space", L"Tab", L"-", L"-", L"Clear", L"Enter", L"-", L"-",
    /* 0x10 */ L"Shift", L"Ctrl", L"Alt", L"Pause", L"Caps Lock", L"IME ｶﾅ", L"-", L"-",
    /* 0x18 */ L"-", L"IME 漢字", L"-", L"Esc", L"IME 変換", L"IME 無変換", L"-", L"IME ﾓｰﾄﾞ変更",
    /* 0x20 */ L"Space", L"Page Up", L"Page Down", L"End", L"Home", L"←", L"↑", L"→",
    /* 0x28 */ L"↓", L"Select", L"Print", L"Execute", L"Print Screen", L"Insert", L"Delete", L"Help",
    /* 0x30 */ L"0", L"1", L"2", L"3", L"4", L"5", L"6", L"7",
    /* 0x38 */ L"8", L"9", L"-", L"-", L"-", L"-", L"-", L"-",
    /* 0x40 */ L"-", L"A", L"B", L"C", L"D", L"E", L"F", L"G",
    /* 0x48 */ L"H", L"I", L"J", L"K", L"L", L"M", L"N", L"O",
    /* 0x50 */ L"P", L"Q", L"R", L"S", L"T", L"U", L"V", L"W",
    /* 0x58 */ L"X", L"Y", L"Z", L"左Win", L"右Win", L"ｱﾌﾟﾘｹｰｼｮﾝ", L"-", L"Sleep",
    /* 0x60 */ L"Num 0", L"Num 1", L"Num 2", L"Num 3", L"Num 4", L"Num 5", L"Num 6", L"Num 7",
    /* 0x68 */ L"Num 8", L"Num 9", L"Num *", L"Num +", L"Num Enter", L"Num -", L"Num .", L"Num /",
    /* 0x70 */ L"F1", L"F2", L"F3", L"F4", L"F5", L"F6", L"F7", L"F8",
    /* 0x78 */ L"F9", L"F10", L"F11", L"F12", L"F13", L"F14", L"F15", L"F16",
    /* 0x80 */ L"F17", L"F18", L"F19", L"F20", L"F21", L"F22", L"F23", L"F24",
    /* 0x88 */ L"-", L"-", L"-", L"-", L"-", L"-", L"-", L"-",
    /* 0x90 */ L"Num Lock", L"Scroll Lock", L"OEM", L"OEM", L"OEM", L"OEM", L"OEM", L"-",
    /* 0x98 */ L"-", L"-", L"-", L"-", L"-", L"-", L"-", L"-",
    /* 0xA0 */ L"左Shift", L"右Shift", L"左Ctrl", L"右Ctrl", L"左Alt", L"右Alt", L"戻る", L"-",
    /* 0xA8 */ L"更新", L"中止", L"検索", L"お気に入り", L"ﾎｰﾑ", L"ﾐｭｰﾄ", L"ﾎﾞﾘｭｰﾑﾀﾞｳﾝ", L"ﾎﾞﾘｭｰﾑｱｯﾌﾟ",
    /* 0xB0 */ L"次のﾄﾗｯｸ", L"前のﾄﾗｯｸ", L"ﾒﾃﾞｨｱ停止", L"ﾒﾃﾞｨｱ Start / Stop", L"ﾒｰﾙ開始", L"ﾒﾃﾞｨｱ選択", L"ｱﾌﾟﾘｹｰｼｮﾝ1 起動", L"ｱﾌﾟﾘｹｰｼｮﾝ2 起動",
    /* 0xB8 */ L"-", L"-", L":", L";", L",", L"-", L".", L"/",
    /* 0xC0 */ L"@", L"-", L"-", L"-", L"-", L"-", L"-", L"-",
    /* 0xC8 */ L"-", L"-", L"-", L"-", L"-", L"-", L"-", L"-",
    /* 0xD0 */ L"-", L"-", L"-", L"-", L"-", L"-", L"-", L"-",
    /* 0xD8 */ L"-", L"-", L"-", L"[", L"\\", L"]", L"^", L"OEM",
    /* 0xE0 */ L"-", L"OEM", L"\\", L"OEM", L"OEM", L"IME", L"OEM", L"Packet",
    /* 0xE8 */ L"-", L"OEM", L"OEM", L"OEM", L"OEM", L"OEM", L"OEM", L"OEM",
    /* 0xF0 */ L"OEM", L"OEM", L"OEM", L"OEM", L"OEM", L"OEM", L"Attn", L"CrSel",
    /* 0xF8 */ L"ExSel", L"Erase", L"Play", L"Zoom", L"-", L"PA1", L"Clear", L"-",
};

// The keys the table above names in Japanese, as Windows names them in English; every
// other key is named alike in both.
constexpr std::array<std::pair<unsigned, std::wstring_view>, 36> kEnglishKeyNames = {{
    {0x01, L"Left Button"}, {0x02, L"Right Button"}, {0x04, L"Middle Button"},
    {0x05, L"X Button 1"}, {0x06, L"X Button 2"}, {0x15, L"IME Kana"}, {0x19, L"IME Kanji"},
    {0x1C, L"IME Convert"}, {0x1D, L"IME Nonconvert"}, {0x1F, L"IME Mode Change"},
    {0x5B, L"Left Win"}, {0x5C, L"Right Win"}, {0x5D, L"Application"},
    {0xA0, L"Left Shift"}, {0xA1, L"Right Shift"}, {0xA2, L"Left Ctrl"}, {0xA3, L"Right Ctrl"},
    {0xA4, L"Left Alt"}, {0xA5, L"Right Alt"}, {0xA6, L"Browser Back"},
    {0xA8, L"Browser Refresh"}, {0xA9, L"Browser Stop"}, {0xAA, L"Browser Search"},
    {0xAB, L"Browser Favorites"}, {0xAC, L"Browser Home"}, {0xAD, L"Mute"},
    {0xAE, L"Volume Down"}, {0xAF, L"Volume Up"}, {0xB0, L"Next Track"},
    {0xB1, L"Previous Track"}, {0xB2, L"Media Stop"}, {0xB3, L"Media Play / Pause"},
    {0xB4, L"Start Mail"}, {0xB5, L"Select Media"}, {0xB6, L"Start App 1"},
    {0xB7, L"Start App 2"},
}};
// clang-format on

constexpr std::wstring_view kNoKeyName = L"-";

}  // namespace

std::wstring_view KeyName(unsigned virtualKey, UiLanguage language) {
  // The entry control never yields codes above 0xFF, but a hand-edited settings file
  // can; they get the no-name mark instead of an index past the table.
  if (virtualKey >= kKeyNames.size()) return kNoKeyName;
  if (language == UiLanguage::English) {
    const auto english = std::find_if(kEnglishKeyNames.begin(), kEnglishKeyNames.end(),
                                      [&](const auto& entry) { return entry.first == virtualKey; });
    if (english != kEnglishKeyNames.end()) return english->second;
  }
  return kKeyNames[virtualKey];
}
