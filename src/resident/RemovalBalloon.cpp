#include "resident/RemovalBalloon.h"

#include <algorithm>
#include <array>

#include "common/TextFormat.h"

namespace {
constexpr std::array kMilestones = {10, 20, 50, 100, 200, 500, 777, 1000, 2000, 5000, 7777, 10000};
}  // namespace

bool IsMilestoneCount(int count) {
  return std::find(kMilestones.begin(), kMilestones.end(), count) != kMilestones.end();
}

BalloonTexts MakeNameBalloon(std::wstring_view name, std::wstring_view pattern,
                             std::wstring_view title) {
  return BalloonTexts{CutText(title, kBalloonTitleMaxChars),
                      FillMessageText(pattern, name, std::nullopt, kBalloonTextMaxChars)};
}

std::optional<BalloonTexts> MakeRemovalBalloon(std::wstring_view name, int count,
                                               std::wstring_view pattern, std::wstring_view title) {
  if (!IsMilestoneCount(count)) return std::nullopt;
  return BalloonTexts{CutText(title, kBalloonTitleMaxChars),
                      FillMessageText(pattern, name, count, kBalloonTextMaxChars)};
}
