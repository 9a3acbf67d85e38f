// Seam over the shell's collection of open shell windows (the ShellWindows automation
// object), shaped after the walk that closes Explorer windows on removable drives.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "common/WinValues.h"

// One window of the collection, seen as a web browser (IWebBrowser2).
class ShellBrowserWindow {
 public:
  virtual ~ShellBrowserWindow() = default;

  // The path of the folder the window shows: get_Document, its IShellFolderViewDual,
  // get_Folder, its Folder2, get_Self, get_Path. kSOk without a path when the document,
  // the folder or its item is null; otherwise the result of the first call that failed
  // (kENoInterface from a query: the window shows something other than a shell folder).
  virtual winvalues::HResult GetFolderPath(std::optional<std::wstring>& path) = 0;

  virtual winvalues::HResult Quit() = 0;
};

// The collection, open on the calling thread. Windows obtained from it must be
// released before it is.
class ShellWindowsConnection {
 public:
  virtual ~ShellWindowsConnection() = default;

  // get_Count, asked anew at each call because closing a window may shrink it.
  virtual winvalues::HResult GetCount(std::int32_t& count) = 0;

  // Item(index) and its IWebBrowser2. kSOk without a window when the item is null;
  // kENoInterface when the item is not a browser window.
  virtual winvalues::HResult GetBrowser(std::int32_t index,
                                        std::unique_ptr<ShellBrowserWindow>& window) = 0;
};

class ShellWindows {
 public:
  virtual ~ShellWindows() = default;

  // Initialises COM on the calling thread and creates, runs and queries the collection;
  // the connection uninitialises COM when it goes. Null when any of it failed.
  virtual std::unique_ptr<ShellWindowsConnection> Connect() = 0;
};
