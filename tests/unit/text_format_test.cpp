#include <gtest/gtest.h>

#include "common/TextFormat.h"

TEST(FillMessageText, PutsNameAndCountInTheirPlaces) {
  EXPECT_EQ(FillMessageText(L"%s\n\n失敗しました。", L"USB メモリ"), L"USB メモリ\n\n失敗しました。");
  EXPECT_EQ(FillMessageText(L"'%s' の取り外しに %d回成功しました。", L"Disk", 777),
            L"'Disk' の取り外しに 777回成功しました。");
}

TEST(FillMessageText, NameIsNeverReadAsAFormat) {
  EXPECT_EQ(FillMessageText(L"'%s' %d回", L"%s%d%n%x", 10), L"'%s%d%n%x' 10回");
  EXPECT_EQ(FillMessageText(L"%s", L"%s"), L"%s");
}

TEST(FillMessageText, CutsToTheLimit) {
  const std::wstring longName(400, L'あ');
  const std::wstring text = FillMessageText(L"x%sy", longName, std::nullopt, 255);
  EXPECT_EQ(text.size(), 255u);
  EXPECT_EQ(text.front(), L'x');
  EXPECT_EQ(CutText(L"Tollevane", 63), L"Tollevane");
  EXPECT_EQ(CutText(L"abc", 2), L"ab");
}

TEST(UnitsWithoutPartingPairs, APieceNeverEndsBetweenTheHalvesOfAPair) {
  const std::wstring text = L"ab\xD83D\xDCBE";  // a character beyond the 16-bit plane last
  for (const auto& [most, units] : {std::pair{3u, 2u}, {4u, 4u}, {2u, 2u}, {8u, 4u}, {1u, 1u}})
    EXPECT_EQ(UnitsWithoutPartingPairs(text, most), units) << most;
}
