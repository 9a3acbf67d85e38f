#include "devices/win32/DeviceTreeFactory.h"

#include <windows.h>

#include <optional>
#include <string>

#include "devices/simulated/SimulatedDeviceTree.h"
#include "devices/win32/ConfigManagerTree.h"

namespace {

std::wstring EnvironmentValue(const wchar_t* name) {
  const DWORD needed = ::GetEnvironmentVariableW(name, nullptr, 0);
  if (needed == 0) return {};
  std::wstring value(needed, L'\0');
  const DWORD written = ::GetEnvironmentVariableW(name, value.data(), needed);
  if (written == 0 || written >= needed) return {};
  value.resize(written);
  return value;
}

// The simulated nodes carry real class GUIDs, so the device list can show the system's
// own class icons for them.
class SimulatedTreeWithSystemIcons : public SimulatedDeviceTree {
 public:
  using SimulatedDeviceTree::SimulatedDeviceTree;

  bool GetClassImageIndex(const ClassImageList* imageList, std::wstring_view guidText,
                          int& index) override {
    return SystemClassImageIndex(imageList, guidText, index);
  }
};

}  // namespace

std::unique_ptr<DeviceTree> CreateDeviceTree() {
  const std::wstring treeFile = EnvironmentValue(L"TOLLEVANE_DEVICE_TREE");
  if (treeFile.empty()) return std::make_unique<ConfigManagerTree>();
  const std::wstring ejectLog = EnvironmentValue(L"TOLLEVANE_EJECT_LOG");
  std::optional<NativePath> logPath;
  if (!ejectLog.empty()) logPath = ejectLog;
  return std::make_unique<SimulatedTreeWithSystemIcons>(treeFile, logPath);
}
