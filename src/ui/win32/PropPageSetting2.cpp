#include "ui/win32/PropPageSetting2.h"

#include "common/win32/Com.h"
#include "common/win32/MessageBoxPrompter.h"
#include "common/win32/ResourceStrings.h"
#include "resources/SettingsPagesIds.h"
#include "resources/resource.h"
#include "startup/win32/ShellStartupShell.h"
#include "ui/OptionsModel.h"
#include "ui/win32/DialogControls.h"

namespace {

// The language box's items in order; the first follows Windows.
constexpr std::optional<UiLanguage> kLanguageChoices[] = {std::nullopt, UiLanguage::Japanese,
                                                          UiLanguage::English};

void FillLanguageBox(HWND page, std::optional<UiLanguage> chosen) {
  const HWND box = ::GetDlgItem(page, IDC_OPTIONS_LANGUAGE);
  for (const auto& choice : kLanguageChoices) {
    const std::wstring text = choice ? std::wstring(LanguageOwnName(*choice))
                                     : win32::LoadResourceString(IDS_LANGUAGE_AUTOMATIC);
    ::SendMessageW(box, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (choice == chosen) ::SendMessageW(box, CB_SETCURSEL, &choice - kLanguageChoices, 0);
  }
}

std::optional<UiLanguage> ChosenLanguage(HWND page) {
  const LRESULT index = ::SendDlgItemMessageW(page, IDC_OPTIONS_LANGUAGE, CB_GETCURSEL, 0, 0);
  if (index < 0 || index >= static_cast<LRESULT>(std::size(kLanguageChoices))) return std::nullopt;
  return kLanguageChoices[index];
}

class ShellShortcutFiles final : public ShortcutFiles {
 public:
  bool Exists(const std::wstring& path) override { return shell_.FileExists(path); }
  winvalues::HResult Create(const std::wstring& path) override {
    const win32::ComApartment com;
    if (!com.ok()) return winvalues::kEFail;
    return shell_.WriteShortcutFile(path);
  }
  bool Delete(const std::wstring& path) override { return shell_.RemoveFile(path); }

 private:
  ShellStartupShell shell_;
};

}  // namespace

CPropPageSetting2::CPropPageSetting2(const SheetContext& context)
    : win32::PropertyPage(IDD_OPTIONS), m_context(context) {}

BOOL CPropPageSetting2::OnInitDialog() {
  ShellStartupShell shell;
  m_strShortcutPath = GetStartupShortcutPath(shell).value_or(std::wstring());

  ShellShortcutFiles files;
  const OptionsPageStart start =
      OptionsPageFromRecord(m_context.settings, m_strShortcutPath, files);
  if (!start.startupEnabled) {
    ui::EnableControl(hwnd(), IDC_OPTIONS_STARTUP, false);
    ui::EnableControl(hwnd(), IDC_OPTIONS_STARTUP_GROUP, false);
  }
  ui::SetChecked(hwnd(), IDC_OPTIONS_STARTUP, start.boxes.startup);
  ui::SetChecked(hwnd(), IDC_OPTIONS_DISP_MESSAGE, start.boxes.dispMessage);
  ui::SetChecked(hwnd(), IDC_OPTIONS_CLOSE_EXPLORER, start.boxes.closeExplorer);
  ::SetDlgItemTextW(hwnd(), IDC_OPTIONS_DRIVE, start.boxes.closeExplorerDrive.c_str());
  FillLanguageBox(hwnd(), StoredLanguageChoice(m_context.settingsFile));
  return TRUE;
}

void CPropPageSetting2::OnApply() {
  OptionsPageBoxes boxes;
  boxes.startup = ui::IsChecked(hwnd(), IDC_OPTIONS_STARTUP);
  boxes.dispMessage = ui::IsChecked(hwnd(), IDC_OPTIONS_DISP_MESSAGE);
  boxes.closeExplorer = ui::IsChecked(hwnd(), IDC_OPTIONS_CLOSE_EXPLORER);
  boxes.closeExplorerDrive = ui::ControlText(hwnd(), IDC_OPTIONS_DRIVE);
  boxes.language = ChosenLanguage(hwnd());

  ShellShortcutFiles files;
  MessageBoxPrompter prompter(hwnd());
  ApplyOptions(m_context.settingsFile, files, prompter, m_strShortcutPath, boxes,
               m_context.settings.m_nCloseExplorerSleep);
}
