#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "resident/RemovalWindowCloser.h"

namespace {

class ScriptedWindows : public TopLevelWindowPort {
 public:
  std::map<std::uintptr_t, std::wstring> titles;
  std::vector<std::wstring> events;

  std::wstring Title(std::uintptr_t window) override { return titles[window]; }
  void SetTitle(std::uintptr_t window, const std::wstring& title) override {
    titles[window] = title;
    events.push_back(L"title " + title);
  }
  void Sleep(unsigned ms) override { events.push_back(L"sleep " + std::to_wstring(ms)); }
  void PostCancel(std::uintptr_t window) override {
    events.push_back(L"cancel " + std::to_wstring(window));
  }

  // EnumWindows over the windows in handle order.
  void Enumerate() {
    for (const auto& [window, title] : std::map(titles)) {
      if (!CloseRemovalWindowStep(window, *this)) break;
    }
  }
};

}  // namespace

TEST(RemovalWindowCloser, CountsDownFromTheOriginalTitleThenCloses) {
  ScriptedWindows windows;
  windows.titles = {{1, L"メモ帳"}, {2, L"ハードウェアの取り外し"}};
  windows.Enumerate();
  EXPECT_EQ(windows.events,
            (std::vector<std::wstring>{L"title ハードウェアの取り外し - 2", L"sleep 1000",
                                       L"title ハードウェアの取り外し - 1", L"sleep 1000",
                                       L"title ハードウェアの取り外し - 0", L"sleep 1000",
                                       L"cancel 2"}));
  EXPECT_EQ(windows.titles[1], L"メモ帳");
}

TEST(RemovalWindowCloser, MatchesTheTextInsideALongerTitleAndHandlesOneWindowPerPass) {
  ScriptedWindows windows;
  windows.titles = {{5, L"[ハードウェアの取り外し] 警告"}, {9, L"ハードウェアの取り外し"}};
  windows.Enumerate();
  EXPECT_EQ(windows.events.back(), L"cancel 5");
  EXPECT_EQ(windows.titles[9], L"ハードウェアの取り外し");
}

TEST(RemovalWindowCloser, LeavesOtherWindowsAlone) {
  ScriptedWindows windows;
  windows.titles = {{1, L"ハードウェア"}, {2, L"取り外し"}, {3, L""}};
  windows.Enumerate();
  EXPECT_TRUE(windows.events.empty());
}
