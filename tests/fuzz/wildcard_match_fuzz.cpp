// The name patterns of the command line: the matcher answers as the plain rule over
// every split of the text (a table of which prefixes match which), and its work stays
// within (|pattern| + 1) x (|text| + 1) steps, so that a pattern of thousands of "*"
// and "?" cannot make it backtrack without end.
//
// Input: up to the first 0xFF byte the pattern, after it the text. Each byte picks a
// character from a small alphabet, so that patterns and texts meet often.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "common/Wildcard.h"

namespace {

constexpr wchar_t kAlphabet[] = {L'a', L'A', L'b', L'*', L'?', L'ア', L' ', L'\xD83D'};

wchar_t Fold(wchar_t c) { return (c >= L'a' && c <= L'z') ? c - L'a' + L'A' : c; }

std::wstring Characters(const std::uint8_t* begin, const std::uint8_t* end) {
  std::wstring text;
  for (const std::uint8_t* p = begin; p != end; ++p) text.push_back(kAlphabet[*p % std::size(kAlphabet)]);
  return text;
}

// matches[i][j]: the first i characters of the pattern match the first j of the text.
bool MatchesByTable(const std::wstring& pattern, const std::wstring& text) {
  std::vector<std::vector<bool>> matches(pattern.size() + 1, std::vector<bool>(text.size() + 1));
  matches[0][0] = true;
  for (std::size_t i = 1; i <= pattern.size(); ++i) {
    const wchar_t p = pattern[i - 1];
    for (std::size_t j = 0; j <= text.size(); ++j) {
      if (p == L'*')
        matches[i][j] = matches[i - 1][j] || (j > 0 && matches[i][j - 1]);
      else if (j > 0)
        matches[i][j] = matches[i - 1][j - 1] && (p == L'?' || Fold(p) == Fold(text[j - 1]));
    }
  }
  return matches[pattern.size()][text.size()];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::uint8_t* end = data + size;
  const std::uint8_t* split = data;
  while (split != end && *split != 0xFF) ++split;
  const std::wstring pattern = Characters(data, split);
  const std::wstring text = Characters(split == end ? end : split + 1, end);
  std::size_t steps = 0;
  const bool matched = MatchesWildcard(pattern, text, &Fold, &steps);
  FUZZ_EXPECT(matched == MatchesByTable(pattern, text), pattern + L" / " + text);
  FUZZ_EXPECT(steps <= (pattern.size() + 1) * (text.size() + 1), pattern + L" / " + text);
  return 0;
}
