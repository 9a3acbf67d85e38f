#include <gtest/gtest.h>

#include "settings/LetterEncoding.h"

namespace {

TEST(LetterEncoding, EncodesLowNibbleFirstAndDecodesBack) {
  struct Case {
    ByteBlock bytes;
    std::wstring text;
  };
  const Case cases[] = {
      {{0x41, 0x00, 0x02, 0x00}, L"BEAACAAA"},  // Ctrl + A as stored in HOTKEY
      {{0x0F}, L"PA"},
      {{0xF0}, L"AP"},
      {{0xFF, 0x00, 0x5A}, L"PPAAKF"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EncodeLetters(c.bytes), c.text);
    EXPECT_EQ(DecodeLetters(c.text), std::optional<ByteBlock>(c.bytes)) << c.text;
  }
}

TEST(LetterEncoding, EmptyTextIsNoBlockButOneLetterIsAnEmptyBlock) {
  EXPECT_EQ(DecodeLetters(L""), std::nullopt);
  EXPECT_EQ(DecodeLetters(L"B"), std::optional<ByteBlock>(ByteBlock{}));
  EXPECT_EQ(DecodeLetters(L"BEAACAAAB"), std::optional<ByteBlock>(ByteBlock{0x41, 0, 2, 0}));
}

TEST(LetterEncoding, LettersOutsideAToPDecodeModulo256) {
  struct Case {
    const wchar_t* text;
    std::uint8_t byte;
  };
  const Case cases[] = {
      {L"ZA", 25},            // low nibble past P
      {L"AZ", 400 % 256},     // high nibble past P
      {L"aa", (16 * 32 + 32) % 256},
      {L"@A", 255},           // one below "A" wraps round
      {L"AAA\u3042", 0x00},  // only the first pair counts for the first byte
  };
  for (const Case& c : cases) {
    const std::optional<ByteBlock> block = DecodeLetters(c.text);
    ASSERT_TRUE(block.has_value()) << c.text;
    ASSERT_FALSE(block->empty());
    EXPECT_EQ(block->front(), c.byte) << c.text;
  }
}

TEST(LetterEncoding, HotkeyCodeNeedsFourBytes) {
  EXPECT_EQ(HotkeyCodeFromBlock(std::nullopt), std::nullopt);
  EXPECT_EQ(HotkeyCodeFromBlock(ByteBlock{}), std::nullopt);
  EXPECT_EQ(HotkeyCodeFromBlock(ByteBlock{0x41, 0x00, 0x02}), std::nullopt);
  EXPECT_EQ(HotkeyCodeFromBlock(DecodeLetters(L"BEAACAA")), std::nullopt);
  EXPECT_EQ(HotkeyCodeFromBlock(DecodeLetters(L"BEAACAAA")), 0x00020041u);
  // Extra bytes of a hand-edited value are ignored.
  EXPECT_EQ(HotkeyCodeFromBlock(ByteBlock{0x41, 0x00, 0x02, 0x00, 0x99}), 0x00020041u);
}

TEST(LetterEncoding, HotkeyCodeRoundTripsThroughItsBlock) {
  for (const std::uint32_t code : {0u, 0x00020041u, 0x000A0024u, 0x12345678u, 0xFFFFFFFFu}) {
    EXPECT_EQ(HotkeyCodeFromBlock(DecodeLetters(EncodeLetters(BlockFromHotkeyCode(code)))), code);
  }
  EXPECT_EQ(EncodeLetters(BlockFromHotkeyCode(0)), L"AAAAAAAA");
}

}  // namespace
