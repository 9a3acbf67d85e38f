// A settings file's text read into the in-memory profile, as the profile functions see
// a file: "[section]" lines, "key=value" lines (blanks around the key dropped, a line
// without "=" a key with an empty value), the first of two equal keys winning, lines
// before the first section and lines starting with ";" ignored.
#pragma once

#include <string_view>

#include "fakes/FakeProfileStore.h"

void LoadIniText(std::wstring_view text, FakeProfileStore& store);
