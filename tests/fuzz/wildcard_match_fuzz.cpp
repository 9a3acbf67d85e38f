// The command line's name patterns: the matcher answers as the plain table of which
// pattern prefixes match which text prefixes, and its work stays within
// (|pattern| + 1) x (|text| + 1) steps: thousands of "*" and "?" cannot make it backtrack
// without end. Input: the pattern up to the first 0xFF byte, the text after it; each
// byte picks a character of a small alphabet, so that patterns and texts meet often.

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
  for (; begin < end; ++begin) text.push_back(kAlphabet[*begin % std::size(kAlphabet)]);
  return text;
}

bool MatchesByTable(const std::wstring& pattern, const std::wstring& text) {
  std::vector<std::vector<bool>> m(pattern.size() + 1, std::vector<bool>(text.size() + 1));
  m[0][0] = true;
  for (std::size_t i = 1; i <= pattern.size(); ++i) {
    for (std::size_t j = 0; j <= text.size(); ++j) {
      const wchar_t p = pattern[i - 1];
      m[i][j] = p == L'*' ? m[i - 1][j] || (j > 0 && m[i][j - 1])
                          : j > 0 && m[i - 1][j - 1] && (p == L'?' || Fold(p) == Fold(text[j - 1]));
    }
  }
  return m[pattern.size()][text.size()];
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::uint8_t* split = data;
  while (split != data + size && *split != 0xFF) ++split;
  const std::wstring pattern = Characters(data, split);
  const std::wstring text = Characters(split + (split != data + size), data + size);
  std::size_t steps = 0;
  const bool matched = MatchesWildcard(pattern, text, &Fold, &steps);
  FUZZ_EXPECT(matched == MatchesByTable(pattern, text), pattern + L" / " + text);
  FUZZ_EXPECT(steps <= (pattern.size() + 1) * (text.size() + 1), pattern + L" / " + text);
  return 0;
}
