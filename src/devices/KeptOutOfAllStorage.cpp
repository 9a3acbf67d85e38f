#include "devices/KeptOutOfAllStorage.h"

#include <algorithm>

#include "pnp/DeviceNames.h"
#include "pnp/DeviceNodes.h"

bool KeptOutOfAllStorage(DeviceTree& tree, DevNode node, const std::vector<std::wstring>& keptOut) {
  if (keptOut.empty()) return false;
  bool kept = false;
  ForEachNodeAndBelow(tree, node, [&](DevNode each) {
    if (kept) return;
    const std::wstring name = GetDeviceName(tree, each);
    kept = std::any_of(keptOut.begin(), keptOut.end(), [&](const std::wstring& keptName) {
      return DeviceNamesEqual(name, keptName);
    });
  });
  return kept;
}
