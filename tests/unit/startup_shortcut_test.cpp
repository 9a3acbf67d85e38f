#include <gtest/gtest.h>

#include <set>

#include "startup/StartupShortcut.h"

using winvalues::HResult;
using winvalues::kEFail;
using winvalues::kSOk;

namespace {

// A Startup folder held in memory, counting the COM uninitialisations.
class FakeStartupShell : public StartupShell {
 public:
  std::optional<std::wstring> folder = L"C:\\Users\\u\\Startup";
  std::set<std::wstring> files;
  HResult writeResult = kSOk;
  bool deleteSucceeds = true;
  int writes = 0;
  int uninitialisations = 0;

  std::optional<std::wstring> StartupFolder() override { return folder; }
  bool FileExists(const std::wstring& path) override { return files.count(path) != 0; }
  HResult WriteShortcutFile(const std::wstring& path) override {
    ++writes;
    if (writeResult == kSOk) files.insert(path);
    return writeResult;
  }
  bool RemoveFile(const std::wstring& path) override {
    if (deleteSucceeds) files.erase(path);
    return deleteSucceeds;
  }
  void CoUninitialize() override { ++uninitialisations; }
};

constexpr wchar_t kLink[] = L"C:\\Users\\u\\Startup\\Tollevane.LNK";

}  // namespace

TEST(StartupShortcut, PathAddsOneBackslashOnlyWhenMissing) {
  FakeStartupShell shell;
  EXPECT_EQ(GetStartupShortcutPath(shell), std::wstring(kLink));
  shell.folder = L"C:\\Users\\u\\Startup\\";
  EXPECT_EQ(GetStartupShortcutPath(shell), std::wstring(kLink));
}

TEST(StartupShortcut, CreateWritesAMissingShortcut) {
  FakeStartupShell shell;
  EXPECT_EQ(CreateStartupShortcut(shell), kSOk);
  EXPECT_EQ(shell.files, std::set<std::wstring>{kLink});
  EXPECT_EQ(shell.uninitialisations, 1);
}

TEST(StartupShortcut, CreateLeavesAnExistingShortcutUntouched) {
  FakeStartupShell shell;
  shell.files.insert(kLink);
  EXPECT_EQ(CreateStartupShortcut(shell), kSOk);
  EXPECT_EQ(shell.writes, 0);
  EXPECT_EQ(shell.uninitialisations, 1);
}

TEST(StartupShortcut, FailuresAreReportedAndComIsEndedOnEveryPath) {
  struct Case {
    const char* what;
    bool folderMissing;
    HResult writeResult;
    bool deleteSucceeds;
    bool linkExists;
    HResult (*operation)(StartupShell&);
    HResult expected;
  };
  const HResult kAccessDenied = static_cast<HResult>(0x80070005u);
  const Case cases[] = {
      {"create without a Startup folder", true, kSOk, true, false, &CreateStartupShortcut, kEFail},
      {"create refused by the shell", false, kAccessDenied, true, false, &CreateStartupShortcut,
       kAccessDenied},
      {"delete without a Startup folder", true, kSOk, true, true, &DeleteStartupShortcut, kEFail},
      {"delete of a missing shortcut", false, kSOk, true, false, &DeleteStartupShortcut, kSOk},
      {"delete that the file system refuses", false, kSOk, false, true, &DeleteStartupShortcut,
       kEFail},
      {"delete of an existing shortcut", false, kSOk, true, true, &DeleteStartupShortcut, kSOk},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeStartupShell shell;
    if (c.folderMissing) shell.folder.reset();
    shell.writeResult = c.writeResult;
    shell.deleteSucceeds = c.deleteSucceeds;
    if (c.linkExists) shell.files.insert(kLink);
    EXPECT_EQ(c.operation(shell), c.expected);
    EXPECT_EQ(shell.uninitialisations, 1);
  }
}

TEST(StartupShortcut, DeleteRemovesTheShortcut) {
  FakeStartupShell shell;
  shell.files.insert(kLink);
  ASSERT_EQ(DeleteStartupShortcut(shell), kSOk);
  EXPECT_TRUE(shell.files.empty());
}
