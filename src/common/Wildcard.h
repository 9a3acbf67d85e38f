// "*" and "?" in a name, as in file names: a script that knows only the start of a
// device's name ("SanDisk*") can still name it.
#pragma once

#include <cstddef>
#include <string_view>

bool HasWildcards(std::wstring_view text);

// Whether `text` matches `pattern`: "*" stands for any run of characters (none too),
// "?" for exactly one; every other character is compared after `fold`. One resume
// point (the last "*") is kept instead of backtracking, so the work stays within
// (|pattern| + 1) x (|text| + 1) steps whatever the pattern; `steps` counts them.
bool MatchesWildcard(std::wstring_view pattern, std::wstring_view text, wchar_t (*fold)(wchar_t),
                     std::size_t* steps = nullptr);
