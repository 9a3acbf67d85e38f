#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "settings/ProfileDocument.h"

namespace {

struct WriteCall {
  std::wstring section;
  std::optional<std::wstring> key;
  std::optional<std::wstring> value;
};

struct DocumentCase {
  const char* what;
  std::wstring before;
  std::vector<WriteCall> writes;
  std::wstring after;
};

// Each row: a file as a user or an older version left it, the writes of a save, and the
// text the save puts in its place.
const DocumentCase kCases[] = {
    {"a missing section and key go at the end",
     L"[APP]\r\nA=1\r\n",
     {{L"NAME", L"001", L"USB ドライブ"}},
     L"[APP]\r\nA=1\r\n[NAME]\r\n001=USB ドライブ\r\n"},
    {"a key keeps its place and spelling; names ignore case",
     L"[app]\r\nDisp=1\r\nB=2\r\n",
     {{L"APP", L"DISP", L"0"}},
     L"[app]\r\nDisp=0\r\nB=2\r\n"},
    {"a new key goes before the blank lines ahead of the next section",
     L"[APP]\r\nA=1\r\n\r\n[X]\r\nY=1\r\n",
     {{L"APP", L"B", L"2"}},
     L"[APP]\r\nA=1\r\nB=2\r\n\r\n[X]\r\nY=1\r\n"},
    {"a deleted section goes with every copy of it and its lines, the rest stays",
     L"; mine\r\n[NAME]\r\n001=a\r\n; note\r\n[APP]\r\nA=1\r\n[name]\r\n002=b\r\n",
     {{L"NAME", std::nullopt, std::nullopt}},
     L"; mine\r\n[APP]\r\nA=1\r\n"},
    {"a deleted key goes from every copy of its section",
     L"[APP]\r\nA=1\r\nB=2\r\n[App]\r\na=3\r\n",
     {{L"APP", L"A", std::nullopt}},
     L"[APP]\r\nB=2\r\n[App]\r\n"},
    {"LF and no last line end are read; CR LF is written",
     L"[APP]\nA=1\r\nB=2",
     {{L"APP", L"C", L"3"}},
     L"[APP]\r\nA=1\r\nB=2\r\nC=3\r\n"},
    {"blanks around a key and the first = split it from its value",
     L"[APP]\r\n  A = x=y\r\n",
     {{L"APP", L"A", L"2"}},
     L"[APP]\r\nA=2\r\n"},
    {"a line without = is a key, a comment is none",
     L"[APP]\r\n;A=1\r\nA\r\n",
     {{L"APP", L"A", L"2"}},
     L"[APP]\r\n;A=1\r\nA=2\r\n"},
    {"keys ahead of every section belong to none",
     L"A=1\r\n[APP]\r\n",
     {{L"APP", L"A", L"2"}},
     L"A=1\r\n[APP]\r\nA=2\r\n"},
    {"deleting what is not there changes nothing",
     L"[APP]\r\nA=1\r\n",
     {{L"NAME", std::nullopt, std::nullopt}, {L"APP", L"B", std::nullopt}},
     L"[APP]\r\nA=1\r\n"},
    {"a section cleared and written again comes back at the end",
     L"[HOTKEY]\r\n001=AAAA\r\n[APP]\r\nA=1\r\n",
     {{L"HOTKEY", std::nullopt, std::nullopt}, {L"HOTKEY", L"001", L"BBBB"}},
     L"[APP]\r\nA=1\r\n[HOTKEY]\r\n001=BBBB\r\n"},
};

TEST(ProfileDocument, WritesChangeOnlyTheirLines) {
  for (const DocumentCase& c : kCases) {
    SCOPED_TRACE(c.what);
    ProfileDocument document(c.before);
    for (const WriteCall& write : c.writes) document.Write(write.section, write.key, write.value);
    EXPECT_EQ(document.Text(), c.after);
  }
}

}  // namespace
