// The options page's rules: its boxes at opening, and the apply that brings the
// Startup shortcut in line with its box and then stores the page's five keys.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "common/UiLanguage.h"
#include "common/WinValues.h"

class Prompter;
class SettingsFile;
struct SettingsRecord;

// The Startup shortcut file, as the options page sees and changes it.
class ShortcutFiles {
 public:
  virtual ~ShortcutFiles() = default;
  virtual bool Exists(const std::wstring& path) = 0;
  // Starts COM for the write and ends it again; kEFail when COM does not start.
  virtual winvalues::HResult Create(const std::wstring& path) = 0;
  virtual bool Delete(const std::wstring& path) = 0;
};

struct OptionsPageBoxes {
  bool startup = false;
  bool dispMessage = false;
  bool closeExplorer = false;
  std::wstring closeExplorerDrive;
  // Nothing: follow Windows.
  std::optional<UiLanguage> language;
  bool operator==(const OptionsPageBoxes&) const = default;
};

struct OptionsPageStart {
  OptionsPageBoxes boxes;
  bool startupEnabled = false;
  bool operator==(const OptionsPageStart&) const = default;
};

// The start-up box shows whether the shortcut exists, not the STARTUP key; with
// no Startup folder (`shortcutPath` empty) it is disabled and clear.
OptionsPageStart OptionsPageFromRecord(const SettingsRecord& record,
                                       const std::wstring& shortcutPath, ShortcutFiles& files);

// The language box at opening: LANGUAGE of section "APP", nothing when it names none.
std::optional<UiLanguage> StoredLanguageChoice(const SettingsFile& file);

enum class ShortcutChange { None, Create, Delete };

ShortcutChange DecideShortcutChange(bool boxTicked, bool shortcutExists);

// Changes the shortcut when the box disagrees with the file system (IDS_STARTUP_FAILED
// when that fails), then writes DISP_MESSAGE, STARTUP, CLOSE_EXPLORER,
// CLOSE_EXPLORER_DRIVE and CLOSE_EXPLORER_SLEEP of section "APP" in that order,
// whatever the shortcut step gave, and LANGUAGE when the choice differs from what the
// file says (following Windows removes the key). Returns whether the shortcut step
// succeeded.
bool ApplyOptions(SettingsFile& file, ShortcutFiles& files, Prompter& prompter,
                  const std::wstring& shortcutPath, const OptionsPageBoxes& boxes,
                  std::int32_t closeExplorerSleep);
