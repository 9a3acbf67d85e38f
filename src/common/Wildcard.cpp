#include "common/Wildcard.h"

bool HasWildcards(std::wstring_view text) {
  return text.find_first_of(L"*?") != std::wstring_view::npos;
}

bool MatchesWildcard(std::wstring_view pattern, std::wstring_view text, wchar_t (*fold)(wchar_t),
                     std::size_t* steps) {
  constexpr std::size_t kNone = std::wstring_view::npos;
  std::size_t p = 0;
  std::size_t t = 0;
  std::size_t resumePattern = kNone;  // just after the last "*" seen
  std::size_t resumeText = 0;         // where that "*"'s run ends for now
  std::size_t count = 0;
  while (t < text.size()) {
    ++count;
    if (p < pattern.size() && pattern[p] == L'*') {
      resumePattern = ++p;
      resumeText = t;
    } else if (p < pattern.size() && (pattern[p] == L'?' || fold(pattern[p]) == fold(text[t]))) {
      ++p;
      ++t;
    } else if (resumePattern != kNone) {
      // A later "*" makes every earlier resume point useless: only the last is kept,
      // which is what keeps the work bounded.
      p = resumePattern;
      t = ++resumeText;
    } else {
      break;
    }
  }
  while (p < pattern.size() && pattern[p] == L'*') {
    ++p;
    ++count;
  }
  if (steps != nullptr) *steps = count;
  return t == text.size() && p == pattern.size();
}
