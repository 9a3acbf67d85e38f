// The fake settings file is shared by many suites; these pin down the profile-function
// rules it copies, so that a suite passing against it means something under Wine.
#include <gtest/gtest.h>

#include "fakes/FakeProfileStore.h"

namespace {

TEST(FakeProfileStore, ReadIntParsesALeadingNumberLikeGetPrivateProfileIntW) {
  struct Case {
    const wchar_t* value;
    int expected;
  };
  const Case cases[] = {
      {L"12", 12},     {L"12abc", 12},       {L"-7", -7},         {L"+3", 3},
      {L"abc", 0},     {L"\t 42", 42},       {L"\"5\"", 5},       {L"0x10", 16},
      {L"0b101", 5},   {L"4294967295", -1},  {L"", 99},           {L"1 2", 1},
  };
  for (const Case& c : cases) {
    FakeProfileStore store;
    store.Set(L"S", L"K", c.value);
    EXPECT_EQ(store.ReadInt(L"S", L"K", 99), c.expected) << c.value;
  }
  EXPECT_EQ(FakeProfileStore().ReadInt(L"S", L"K", 99), 99);
}

TEST(FakeProfileStore, NamesIgnoreCaseAndKeepTheirFirstSpelling) {
  FakeProfileStore store;
  store.Write(L"App", L"Startup", L"1");
  store.Write(L"APP", L"STARTUP", L"0");
  EXPECT_EQ(store.ReadString(L"app", L"startup", L"x"), L"0");
  EXPECT_EQ(store.Text(), L"[App]\nStartup=0\n");
}

TEST(FakeProfileStore, StringsAreCutQuotesStrippedAndLeadingBlanksDropped) {
  FakeProfileStore store;
  store.Write(L"S", L"long", std::wstring(5000, L'x'));
  store.Write(L"S", L"quoted", L"\"a b\"");
  store.Write(L"S", L"blank", L"   v ");
  EXPECT_EQ(store.ReadString(L"S", L"long", {}).size(), kProfileStringBufferChars - 1);
  EXPECT_EQ(store.ReadString(L"S", L"quoted", {}), L"a b");
  EXPECT_EQ(store.ReadString(L"S", L"blank", {}), L"v");
  EXPECT_EQ(store.ReadString(L"S", L"none", L"dflt"), L"dflt");
}

}  // namespace
