// The congratulation balloon's rule: which removal counts earn one, and its texts.
#pragma once

#include <optional>
#include <string>
#include <string_view>

inline constexpr std::size_t kBalloonTextMaxChars = 255;
inline constexpr std::size_t kBalloonTitleMaxChars = 63;

bool IsMilestoneCount(int count);

struct BalloonTexts {
  std::wstring title;
  std::wstring text;
  bool operator==(const BalloonTexts&) const = default;
};

// Nothing when `count` earns no balloon. `pattern` is the congratulation text with
// "%s" for the name and "%d" for the count.
// `pattern` with "%s" for the name, cut as a balloon takes it.
BalloonTexts MakeNameBalloon(std::wstring_view name, std::wstring_view pattern,
                             std::wstring_view title);

std::optional<BalloonTexts> MakeRemovalBalloon(std::wstring_view name, int count,
                                               std::wstring_view pattern, std::wstring_view title);
