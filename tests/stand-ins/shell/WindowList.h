// The open shell windows that the test's list file describes, less those that an
// earlier Quit closed for good. Portable, so that it is unit-tested natively.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace shellstandin {

struct ListedWindow {
  // The line as written, which is also what a Quit of this window logs: a closed
  // window is recognised again by it.
  std::wstring line;
  // A folder window shows a shell folder; a web window a page, whose document is
  // no folder view.
  bool web = false;
  // FolderItem.Path of a folder window; the address of a web window.
  std::wstring location;
};

// One window a line of UTF-8 text, "\n" or "\r\n"; a byte-order mark, empty lines
// and lines that are not well-formed UTF-8 are passed over. "web URL" (or "web"
// alone) is a browser window on a page; any other line is a folder's path.
std::vector<ListedWindow> ParseWindowList(std::string_view utf8);

// The lines of the quit log, read the same way as the list.
std::vector<std::wstring> ParseQuitLog(std::string_view utf8);

// The listed windows still open: each logged line closes the first window left
// whose line equals it, so that two windows on one folder close one by one.
std::vector<ListedWindow> WindowsStillOpen(std::vector<ListedWindow> listed,
                                           const std::vector<std::wstring>& closed);

// The log line of a window's Quit.
std::string QuitLogLine(const ListedWindow& window);

}  // namespace shellstandin
