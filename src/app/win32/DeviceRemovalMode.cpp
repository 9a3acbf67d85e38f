#include "app/win32/DeviceRemovalMode.h"

#include "common/win32/MessageBoxPrompter.h"
#include "common/win32/WindowsVersion.h"
#include "devices/DeviceRemoval.h"
#include "devices/win32/DeviceTreeFactory.h"
#include "resident/win32/ExplorerPreparation.h"

bool RemoveDeviceByNameMode(const std::wstring& name, const SettingsRecord& settings) {
  const std::unique_ptr<DeviceTree> tree = CreateDeviceTree();
  ExplorerClosingPreparation preparation(settings);
  // No window exists in this mode: the failure message belongs to whatever is active.
  MessageBoxPrompter prompter([] { return ::GetActiveWindow(); });
  return RemoveDeviceByName(name, win32::QueryWindowsVersion().major, settings, *tree, preparation,
                            prompter);
}
