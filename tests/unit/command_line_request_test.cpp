// The removal command line of people and scripts: patterns, label comparison, the
// parse of its switches, the reason of a failure and the wait. What labels, mount
// folders and "/whatif" remove: command_line_removal_test.cpp.
#include <gtest/gtest.h>

#include "commandline/CommandLineRequest.h"
#include "commandline/RemovalRetries.h"
#include "common/Wildcard.h"
#include "drives/VolumeLabels.h"
#include "resources/resource.h"

namespace {

wchar_t Upper(wchar_t c) { return (c >= L'a' && c <= L'z') ? c - L'a' + L'A' : c; }

TEST(Wildcard, MatchesAsFileNamesWithoutCaseOfLatinLetters) {
  const std::tuple<const wchar_t*, const wchar_t*, bool> cases[] = {
      {L"SanDisk*", L"SanDisk Cruzer USB Device", true}, {L"sandisk*", L"SANDISK", true},
      {L"*USB*", L"Generic USB Reader", true},           {L"?tick", L"Stick", true},
      {L"?tick", L"tick", false},                        {L"St?ck", L"Stck", false},
      {L"*", L"", true},                                 {L"", L"x", false},
      {L"a*b*c", L"aXbYbZc", true},                      {L"a*b*c", L"aXbYcZ", false},
      {L"*ディスク", L"USB ディスク", true},             {L"*ﾃﾞｨｽｸ", L"USB ディスク", false},
      {L"**?", L"", false},                              {L"a*", L"b", false},
  };
  for (const auto& [pattern, text, expected] : cases)
    EXPECT_EQ(MatchesWildcard(pattern, text, &Upper), expected) << pattern << L" / " << text;
}

TEST(VolumeLabel, ComparedWithoutCaseAsWindowsComparesLabels) {
  const std::tuple<const wchar_t*, const wchar_t*, bool> cases[] = {
      {L"BACKUP", L"backup", true},  {L"Backup", L"BACKUP ", false}, {L"ＢＡＣＫＵＰ", L"ｂａｃｋｕｐ", true},
      {L"ÉTÉ", L"été", true},        {L"×", L"÷", false},           {L"バックアップ", L"バックアップ", true},
      {L"", L"", true},
  };
  for (const auto& [a, b, equal] : cases) EXPECT_EQ(VolumeLabelsEqual(a, b), equal) << a << L" / " << b;
}

RemovalRequest Req(RemovalTarget target = RemovalTarget::Name, std::wstring value = L"",
                   bool unknown = false, bool whatIf = false,
                   std::optional<unsigned> wait = std::nullopt, bool card = false) {
  return {target, std::move(value), unknown, whatIf, card, wait};
}

TEST(RemovalCommandLine, ParsesTargetsSwitchesAndTellsWhatIsWrong) {
  using T = RemovalTarget;
  // The problem by its string id.
  struct Case { std::vector<std::wstring> arguments; RemovalRequest request; std::optional<unsigned> problem; };
  const Case cases[] = {
      {{L"Stick", L"/WhatIf"}, Req(T::Name, L"Stick", false, true, {}), {}},
      {{L"/wait:30", L"e:\\"}, Req(T::Drive, L"E:", false, false, 30u), {}},
      {{L"-label:Backup", L"/wait:0"}, Req(T::Label, L"Backup", false, false, 0u), {}},
      {{L"C:\\mnt\\backup"}, Req(T::Folder, L"C:\\mnt\\backup"), {}},
      {{L"/Card", L"h:", L"/whatif"}, Req(T::Drive, L"H:", false, true, {}, true), {}},
      {{L"/label:SD", L"/card"}, Req(T::Label, L"SD", false, false, {}, true), {}},
      {{L"/card", L"Reader"}, Req(T::Name, L"Reader", false, false, {}, true), IDS_CL_CARD_NEEDS_DRIVE},
      {{L"/bogus"}, Req(T::Name, L"/bogus", true), {}},
      {{L"/bogus", L"E:"}, Req(T::Name, L"/bogus", true), IDS_CL_UNKNOWN_SWITCH},
      {{L"E:", L"-x"}, Req(T::Drive, L"E:"), IDS_CL_UNKNOWN_SWITCH},
      {{L"E:", L"Stick"}, Req(T::Drive, L"E:"), IDS_CL_TWO_SELECTORS},
      {{L"/wait:", L"E:"}, Req(), IDS_CL_MISSING_VALUE},
      {{L"/label:"}, Req(), IDS_CL_MISSING_VALUE},
      {{L"E:", L"/wait:-1"}, Req(T::Drive, L"E:"), IDS_CL_BAD_WAIT},
      {{L"E:", L"/wait:99999999999"}, Req(T::Drive, L"E:"), IDS_CL_BAD_WAIT},
      {{L"/whatif"}, Req(T::Name, L"", false, true), IDS_CL_NO_SELECTOR},
      {{std::wstring(30000, L'x')}, Req(), IDS_CL_NAME_TOO_LONG},
      {{L"/label:" + std::wstring(30000, L'x')}, Req(), IDS_CL_LABEL_TOO_LONG},
      {{L"C:\\" + std::wstring(30000, L'x')}, Req(), IDS_CL_FOLDER_TOO_LONG},
  };
  for (const Case& c : cases) {
    const ParsedCommandLine parsed = ParseRemovalCommandLine(c.arguments);
    const std::wstring shown = c.arguments.front().substr(0, 20);
    EXPECT_FALSE(parsed.usage) << shown;
    EXPECT_EQ(parsed.request, c.request) << shown;
    EXPECT_EQ(parsed.problem ? std::optional(parsed.problem->textId) : std::nullopt, c.problem) << shown;
  }
  for (const wchar_t* usage : {L"/?", L"-?", L"/HELP", L"-h"})
    EXPECT_EQ(ParseRemovalCommandLine({L"/wait:", usage}), (ParsedCommandLine{true, {}, {}})) << usage;
}

// Attempts and pauses move the clock; it starts just before the tick wraps.
struct ScriptedClock : RetryClock {
  std::uint32_t NowTick() override { return now; }
  bool Pause(std::uint32_t ms) override { return pauses.push_back(ms), now += ms, !stop; }
  std::uint32_t now = 0xFFFFF000;
  std::vector<std::uint32_t> pauses;
  bool stop = false;
};

TEST(RemovalRetries, AsksAtMostOnceASecondUntilItGoesTheTimeIsUpOrTheUserStops) {
  // The attempts' statuses in turn, how long each takes, whether Ctrl+C ends the pause.
  struct Case { unsigned seconds; std::vector<int> statuses; std::uint32_t attemptMs; bool stop;
                int status; std::size_t attempts; };
  const Case cases[] = {
      {10, {2, 2, 0}, 200, false, 0, 3},  // freed during the wait
      {3, {2, 2, 2, 2, 2, 2}, 200, false, 2, 4},  // at 0, 1, 2 and 3 s
      {3, {2, 2, 2, 2}, 1500, false, 2, 3},        // slow requests: at 0, 1.5 and 3 s
      {0, {2, 0}, 10, false, 2, 1},
      {10, {1, 0}, 10, false, 1, 1},  // nothing matched: no holder to wait for
      {10, {2, 0}, 10, true, 2, 1},   // Ctrl+C: no further request
  };
  for (const Case& c : cases) {
    ScriptedClock clock;
    clock.stop = c.stop;
    std::size_t made = 0;
    const int status = RunWithRetries(c.seconds, clock, [&] {
      clock.now += c.attemptMs;
      return c.statuses[made++];
    });
    EXPECT_EQ(status, c.status) << c.seconds;
    EXPECT_EQ(made, c.attempts) << c.seconds;
    for (std::uint32_t pause : clock.pauses) EXPECT_EQ(pause, c.attemptMs >= 1000 ? 0u : 1000 - c.attemptMs);
  }
}

}  // namespace
