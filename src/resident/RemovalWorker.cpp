#include "resident/RemovalWorker.h"

#include "common/Prompter.h"
#include "common/WinValues.h"
#include "resources/resource.h"
#include "settings/Registrations.h"

unsigned RemoveRegisteredDevice(MainWndState& state, const SettingsRecord& settings,
                                RemovalServices& services) {
  tag_device_hotkey_info& record =
      state.m_aDeviceHotkeyInfo.at(static_cast<std::size_t>(state.m_nRemoveIndex));
  const bool found = services.findAndEject(state.m_strRemoveDevice, record);
  if (found) {
    // Stored first, so that the count survives whatever the balloon does.
    WriteBackRemovalCount(services.settingsFile, record);
    if (settings.m_bDispMessage) services.showBalloon(record.name, record.reject_times);
  } else if (settings.m_bDispRejectErr) {
    services.prompter.Show(IDS_REMOVAL_FAILED, state.m_strRemoveDevice, IDS_ERROR_CAPTION,
                           winvalues::kMbOk | winvalues::kMbIconExclamation |
                               winvalues::kMbTopmost);
  }
  return 0;
}
