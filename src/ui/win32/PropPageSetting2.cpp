#include "ui/win32/PropPageSetting2.h"

#include "common/win32/Com.h"
#include "common/win32/MessageBoxPrompter.h"
#include "resources/SettingsPagesIds.h"
#include "resources/resource.h"
#include "startup/win32/ShellStartupShell.h"
#include "ui/OptionsModel.h"
#include "ui/win32/DialogControls.h"

namespace {

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
  return TRUE;
}

void CPropPageSetting2::OnApply() {
  OptionsPageBoxes boxes;
  boxes.startup = ui::IsChecked(hwnd(), IDC_OPTIONS_STARTUP);
  boxes.dispMessage = ui::IsChecked(hwnd(), IDC_OPTIONS_DISP_MESSAGE);
  boxes.closeExplorer = ui::IsChecked(hwnd(), IDC_OPTIONS_CLOSE_EXPLORER);
  boxes.closeExplorerDrive = ui::ControlText(hwnd(), IDC_OPTIONS_DRIVE);

  ShellShortcutFiles files;
  MessageBoxPrompter prompter(hwnd());
  ApplyOptions(m_context.settingsFile, files, prompter, m_strShortcutPath, boxes,
               m_context.settings.m_nCloseExplorerSleep);
}
