#include "settings/SettingsRecord.h"

#include "settings/KeptDevices.h"
#include "settings/SettingsFile.h"

void LoadSettings(const SettingsFile& file, bool commandLineDefaults, bool vistaOrLater,
                  SettingsRecord& record) {
  constexpr std::wstring_view kApp = L"APP";
  record.m_bDispRejectErr = file.GetProfileInt(kApp, L"DISP_REJECT_ERR", 0);
  // A removal started from the command line has no page to pick kinds on, so it
  // searches every kind that can hold a removable device.
  const std::uint32_t kindFallback =
      commandLineDefaults ? kCommandLineDeviceKind : kDefaultDeviceKind;
  record.m_nDeviceKind = static_cast<std::uint32_t>(
      file.GetProfileInt(kApp, L"DEVICE_KIND", static_cast<int>(kindFallback)));
  record.m_bRemoveWindow = file.GetProfileInt(kApp, L"REMOVE_WINDOW", 0);
  record.m_bDispMessage = file.GetProfileInt(kApp, L"DISP_MESSAGE", 1);
  record.m_nRemoveWindowTime = file.GetProfileInt(kApp, L"REMOVE_WINDOW_TIME", 3);
  record.m_bStartup = file.GetProfileInt(kApp, L"STARTUP", 1);
  record.m_bCloseExplorer = file.GetProfileInt(kApp, L"CLOSE_EXPLORER", vistaOrLater ? 1 : 0);
  record.m_strCloseExplorerDrive = file.GetProfileString(kApp, L"CLOSE_EXPLORER_DRIVE", {});
  record.m_nCloseExplorerSleep = file.GetProfileInt(kApp, L"CLOSE_EXPLORER_SLEEP", 500);
  record.m_aKeptOut = ReadKeptDevices(file);
}
