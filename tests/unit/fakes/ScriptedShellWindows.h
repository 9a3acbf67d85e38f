// Shell-windows collection for unit tests: each window is scripted with what the shell
// answers for it, and the fake records what the walk asked and which windows it quit.
#pragma once

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/WinValues.h"
#include "devices/ShellWindows.h"

struct ScriptedWindow {
  std::wstring name;  // the test's label, unique within a collection
  // Item with its IWebBrowser2 query; a null dispatch when `nullItem`.
  winvalues::HResult browserResult = winvalues::kSOk;
  bool nullItem = false;
  // The folder queries and getters; no path stands for a null document, folder or item.
  winvalues::HResult pathResult = winvalues::kSOk;
  std::optional<std::wstring> path;
  winvalues::HResult quitResult = winvalues::kSOk;
};

inline ScriptedWindow FolderWindow(std::wstring name, std::wstring path) {
  ScriptedWindow w;
  w.name = std::move(name);
  w.path = std::move(path);
  return w;
}

class ScriptedShellWindows final : public ShellWindows {
 public:
  std::vector<ScriptedWindow> windows;
  bool connectFails = false;
  // A successful Quit removes the window from the collection at once.
  bool shrinkOnQuit = false;
  // get_Count fails from this call on (0 = the first).
  std::optional<int> countFailsFromCall;

  int connects = 0;
  int openConnections = 0;
  int liveWindows = 0;
  bool windowOutlivedConnection = false;
  std::vector<std::wstring> pathsAskedOf;  // window names, in the order asked
  std::vector<std::wstring> quitsAskedOf;  // window names, failed Quits included

  std::unique_ptr<ShellWindowsConnection> Connect() override {
    ++connects;
    if (connectFails) return nullptr;
    return std::make_unique<Connection>(*this);
  }

 private:
  class Window final : public ShellBrowserWindow {
   public:
    Window(ScriptedShellWindows& shell, ScriptedWindow script)
        : shell_(shell), script_(std::move(script)) {
      ++shell_.liveWindows;
    }
    ~Window() override { --shell_.liveWindows; }

    winvalues::HResult GetFolderPath(std::optional<std::wstring>& path) override {
      shell_.pathsAskedOf.push_back(script_.name);
      path.reset();
      if (script_.pathResult >= 0) path = script_.path;
      return script_.pathResult;
    }

    winvalues::HResult Quit() override {
      shell_.quitsAskedOf.push_back(script_.name);
      if (script_.quitResult >= 0 && shell_.shrinkOnQuit) {
        auto& all = shell_.windows;
        all.erase(std::remove_if(all.begin(), all.end(),
                                 [&](const ScriptedWindow& w) { return w.name == script_.name; }),
                  all.end());
      }
      return script_.quitResult;
    }

   private:
    ScriptedShellWindows& shell_;
    ScriptedWindow script_;
  };

  class Connection final : public ShellWindowsConnection {
   public:
    explicit Connection(ScriptedShellWindows& shell) : shell_(shell) { ++shell_.openConnections; }
    ~Connection() override {
      if (shell_.liveWindows != 0) shell_.windowOutlivedConnection = true;
      --shell_.openConnections;
    }

    winvalues::HResult GetCount(std::int32_t& count) override {
      const int call = countCalls_++;
      // A failing call's count is not to be trusted, so it is filled all the same.
      count = static_cast<std::int32_t>(shell_.windows.size());
      const bool fails = shell_.countFailsFromCall && call >= *shell_.countFailsFromCall;
      return fails ? winvalues::kEFail : winvalues::kSOk;
    }

    winvalues::HResult GetBrowser(std::int32_t index,
                                  std::unique_ptr<ShellBrowserWindow>& window) override {
      window.reset();
      const ScriptedWindow& script = shell_.windows.at(static_cast<std::size_t>(index));
      if (script.browserResult < 0) return script.browserResult;
      if (!script.nullItem) window = std::make_unique<Window>(shell_, script);
      return script.browserResult;
    }

   private:
    ScriptedShellWindows& shell_;
    int countCalls_ = 0;
  };
};
