#include "drives/DeviceLetters.h"

#include <algorithm>

#include "drives/DriveHolders.h"
#include "drives/MediumEjection.h"
#include "pnp/DeviceNames.h"
#include "pnp/DeviceNodes.h"

bool DeviceLetter::CarriedBy(std::wstring_view name) const {
  return std::any_of(names.begin(), names.end(),
                     [name](const std::wstring& own) { return DeviceNamesEqual(own, name); });
}

namespace {

void AddNamesUpToHolder(DeviceTree& tree, DevNode device, DevNode holder,
                        std::vector<std::wstring>& names) {
  for (std::optional<DevNode> node = device; node; node = GetParentNode(tree, *node)) {
    std::wstring name = GetDeviceName(tree, *node);
    if (std::find(names.begin(), names.end(), name) == names.end())
      names.push_back(std::move(name));
    if (*node == holder) return;
  }
}

}  // namespace

std::vector<DeviceLetter> FindDeviceLetters(DeviceTree& tree, Drives& storage) {
  std::vector<DeviceLetter> drives;
  for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
    DeviceLetter drive{letter, {}};
    for (const DevNode device : FindDriveDevices(tree, storage, letter)) {
      if (const auto holder = RemovableHolder(tree, device))
        AddNamesUpToHolder(tree, device, *holder, drive.names);
      else if (HasRemovableMedium(storage, letter))
        AddNamesUpToHolder(tree, device, device, drive.names);  // a reader inside the case
    }
    if (!drive.names.empty()) drives.push_back(std::move(drive));
  }
  return drives;
}
