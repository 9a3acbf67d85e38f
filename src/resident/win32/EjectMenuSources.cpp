#include "resident/win32/EjectMenuSources.h"

#include <windows.h>

#include <optional>

#include "devices/DeviceEnumeration.h"
#include "devices/StoragePresence.h"
#include "devices/win32/DeviceTreeFactory.h"
#include "devices/win32/KernelDriveStorage.h"

namespace {

// GetVolumeInformationW takes at most MAX_PATH + 1 characters for the label.
constexpr DWORD kVolumeLabelUnits = MAX_PATH + 1;

// Nothing when the volume cannot be read: no medium in the drive.
std::optional<std::wstring> VolumeLabel(wchar_t letter) {
  const wchar_t root[] = {letter, L':', L'\\', L'\0'};
  wchar_t label[kVolumeLabelUnits] = {};
  // A card reader's empty slot must not make the system ask for a disk: the menu would
  // wait for the user's answer before it showed.
  const UINT previousMode = ::SetErrorMode(SEM_FAILCRITICALERRORS);
  const BOOL read =
      ::GetVolumeInformationW(root, label, kVolumeLabelUnits, nullptr, nullptr, nullptr, nullptr, 0);
  ::SetErrorMode(previousMode);
  if (!read) return std::nullopt;
  return std::wstring(label);
}

}  // namespace

std::vector<EjectMenuItem> CurrentEjectMenu(const std::vector<tag_device_hotkey_info>& table,
                                            const ResidentContext& context) {
  const std::unique_ptr<DeviceTree> tree = CreateDeviceTree();
  KernelDriveStorage storage;
  OfferedDevices offered(context.names);
  DeviceEnumeration(*tree, context.settings.m_nDeviceKind, context.names, nullptr, offered)
      .ListStorageFrom(&storage)
      .EnumerateDevices(false);

  std::vector<LabelledDrive> drives;
  for (DeviceDrive& drive : FindDeviceDrives(*tree, storage)) {
    const std::optional<std::wstring> label = VolumeLabel(drive.letter);
    drives.push_back({std::move(drive), label.value_or(std::wstring()), label.has_value()});
  }

  const EjectMenuSources sources{table, offered, UsbMassStoragePresent(*tree, context.names), drives};
  return BuildEjectMenu(sources, context.names);
}
