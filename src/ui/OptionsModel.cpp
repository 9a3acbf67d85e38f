#include "ui/OptionsModel.h"

#include "common/Prompter.h"
#include "resources/resource.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsRecord.h"

OptionsPageStart OptionsPageFromRecord(const SettingsRecord& record,
                                       const std::wstring& shortcutPath, ShortcutFiles& files) {
  OptionsPageStart start;
  start.startupEnabled = !shortcutPath.empty();
  start.boxes.startup = start.startupEnabled && files.Exists(shortcutPath);
  start.boxes.dispMessage = record.m_bDispMessage != 0;
  start.boxes.closeExplorer = record.m_bCloseExplorer != 0;
  start.boxes.closeExplorerDrive = record.m_strCloseExplorerDrive;
  return start;
}

std::optional<UiLanguage> StoredLanguageChoice(const SettingsFile& file) {
  return LanguageFromSetting(file.GetProfileString(L"APP", kLanguageKey));
}

ShortcutChange DecideShortcutChange(bool boxTicked, bool shortcutExists) {
  if (boxTicked == shortcutExists) return ShortcutChange::None;
  return boxTicked ? ShortcutChange::Create : ShortcutChange::Delete;
}

namespace {

// Without a Startup folder the box is disabled, and there is no file to change.
bool BringShortcutInLine(ShortcutFiles& files, const std::wstring& path, bool boxTicked) {
  if (path.empty()) return true;
  switch (DecideShortcutChange(boxTicked, files.Exists(path))) {
    case ShortcutChange::None:
      return true;
    case ShortcutChange::Create:
      return files.Create(path) == winvalues::kSOk;
    case ShortcutChange::Delete:
      return files.Delete(path);
  }
  return true;
}

}  // namespace

bool ApplyOptions(SettingsFile& file, ShortcutFiles& files, Prompter& prompter,
                  const std::wstring& shortcutPath, const OptionsPageBoxes& boxes,
                  std::int32_t closeExplorerSleep) {
  const bool shortcutOk = BringShortcutInLine(files, shortcutPath, boxes.startup);
  if (!shortcutOk) {
    prompter.Show(IDS_STARTUP_FAILED, std::nullopt, IDS_ERROR_CAPTION,
                  winvalues::kMbOk | winvalues::kMbIconError);
  }
  constexpr std::wstring_view kApp = L"APP";
  file.WriteProfileInt(kApp, L"DISP_MESSAGE", boxes.dispMessage ? 1 : 0);
  file.WriteProfileInt(kApp, L"STARTUP", boxes.startup ? 1 : 0);
  file.WriteProfileInt(kApp, L"CLOSE_EXPLORER", boxes.closeExplorer ? 1 : 0);
  file.WriteProfileString(kApp, std::wstring(L"CLOSE_EXPLORER_DRIVE"), boxes.closeExplorerDrive);
  file.WriteProfileInt(kApp, L"CLOSE_EXPLORER_SLEEP", closeExplorerSleep);
  // An unknown value already means "follow Windows", so it is left as the user wrote it.
  if (boxes.language != StoredLanguageChoice(file)) {
    const std::wstring key(kLanguageKey);
    if (boxes.language)
      file.WriteProfileString(kApp, key, std::wstring(LanguageSettingValue(*boxes.language)));
    else
      file.WriteProfileString(kApp, key, std::nullopt);
  }
  return shortcutOk;
}
