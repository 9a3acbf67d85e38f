// The shell stand-in's window list: how a test's list file reads, and which
// windows an earlier Quit closed for good.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "shell/WindowList.h"

namespace {

using shellstandin::ListedWindow;
using shellstandin::ParseQuitLog;
using shellstandin::ParseWindowList;
using shellstandin::QuitLogLine;
using shellstandin::WindowsStillOpen;

struct Seen {
  bool web;
  std::wstring location;
  bool operator==(const Seen&) const = default;
};

std::vector<Seen> SeenOf(const std::vector<ListedWindow>& windows) {
  std::vector<Seen> seen;
  for (const ListedWindow& w : windows) seen.push_back({w.web, w.location});
  return seen;
}

std::vector<std::wstring> LinesOf(const std::vector<ListedWindow>& windows) {
  std::vector<std::wstring> lines;
  for (const ListedWindow& w : windows) lines.push_back(w.line);
  return lines;
}

struct ListCase {
  const char* label;
  std::string text;
  std::vector<Seen> windows;
};

TEST(ShellWindowList, ReadsEachKindOfWindowLine) {
  const std::vector<ListCase> cases = {
      {"folder paths as FolderItem.Path gives them",
       "E:\\photos\n::{20D04FE0-3AEA-1069-A2D8-08002B30309D}\n\\\\server\\share\n",
       {{false, L"E:\\photos"}, {false, L"::{20D04FE0-3AEA-1069-A2D8-08002B30309D}"},
        {false, L"\\\\server\\share"}}},
      {"web pages, with and without an address",
       "web https://example.org/a b\nweb\n",
       {{true, L"https://example.org/a b"}, {true, L""}}},
      {"a folder whose name only begins with the word",
       "webcam\nweb-site\n", {{false, L"webcam"}, {false, L"web-site"}}},
      {"CRLF line ends, a byte-order mark and no end at the last line",
       "\xEF\xBB\xBF" "E:\\a\r\nF:\\b", {{false, L"E:\\a"}, {false, L"F:\\b"}}},
      {"empty lines are no windows", "\n\r\nE:\\a\n\n", {{false, L"E:\\a"}}},
      {"a malformed line is passed over, the rest is read",
       "E:\\a\n\xC3(\nG:\\\xE5\x86\x99\xE7\x9C\x9F\n", {{false, L"E:\\a"}, {false, L"G:\\写真"}}},
      {"an empty file", "", {}},
  };
  for (const ListCase& c : cases) {
    EXPECT_EQ(SeenOf(ParseWindowList(c.text)), c.windows) << c.label;
  }
}

TEST(ShellWindowList, QuitLogNamesTheWindowByItsListedLine) {
  const std::vector<ListedWindow> windows = ParseWindowList("G:\\写真\nweb https://example.org/\n");
  ASSERT_EQ(windows.size(), 2u);
  EXPECT_EQ(QuitLogLine(windows[0]), "G:\\\xE5\x86\x99\xE7\x9C\x9F\n");
  EXPECT_EQ(QuitLogLine(windows[1]), "web https://example.org/\n");
  // What one Quit writes, the next collection reads back as that window.
  const std::string log = QuitLogLine(windows[0]) + QuitLogLine(windows[1]);
  EXPECT_EQ(ParseQuitLog(log), LinesOf(windows));
}

struct ClosedCase {
  const char* label;
  std::string list;
  std::string log;
  std::vector<std::wstring> open;
};

TEST(ShellWindowList, QuitWindowsStayClosedOneForEachLogLine) {
  const std::vector<ClosedCase> cases = {
      {"nothing logged", "E:\\a\nC:\\b\n", "", {L"E:\\a", L"C:\\b"}},
      {"a logged window is gone, the order of the rest kept", "C:\\b\nE:\\a\nD:\\c\n", "E:\\a\n",
       {L"C:\\b", L"D:\\c"}},
      {"two windows on one folder close one by one", "E:\\a\nE:\\a\n", "E:\\a\n", {L"E:\\a"}},
      {"a line logged twice closes both", "E:\\a\nC:\\b\nE:\\a\n", "E:\\a\r\nE:\\a\r\n", {L"C:\\b"}},
      {"a logged line no longer listed changes nothing", "E:\\a\n", "F:\\gone\n", {L"E:\\a"}},
      {"a subfolder is a window of its own", "E:\\a\nE:\\a\\b\n", "E:\\a\n", {L"E:\\a\\b"}},
      {"web windows are matched by their whole line", "web x\nweb y\n", "web y\n", {L"web x"}},
  };
  for (const ClosedCase& c : cases) {
    EXPECT_EQ(LinesOf(WindowsStillOpen(ParseWindowList(c.list), ParseQuitLog(c.log))), c.open) << c.label;
  }
}

}  // namespace
