#include "commandline/WhatIfLines.h"

#include <algorithm>
#include <string>

#include "drives/CardSlots.h"
#include "drives/DriveHolders.h"
#include "pnp/DeviceNames.h"
#include "pnp/DeviceNodes.h"
#include "pnp/NodeRoles.h"
#include "resources/resource.h"

namespace {

// A USB mass-storage node is known by its disk, as the device list offers it.
std::wstring DeviceLine(DeviceTree& tree, Drives& drives, const SystemNames& names,
                        const EjectAnswer& answer) {
  std::wstring text = answer.deviceName;
  if (IsUsbMassStorage(tree, answer.node, answer.deviceName, names)) {
    if (const auto disk = GetFirstChild(tree, answer.node)) text = GetDeviceName(tree, *disk);
  }
  std::wstring letters;
  for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
    const std::vector<DevNode> holders = FindDriveHolders(tree, drives, letter);
    if (std::find(holders.begin(), holders.end(), answer.node) == holders.end()) continue;
    letters += (letters.empty() ? L"" : L" ") + std::wstring{letter, L':'};
  }
  if (!letters.empty()) text += L" (" + letters + L")";
  return text;
}

}  // namespace

std::vector<PromptLine> WhatIfLines(DeviceTree& tree, Drives& drives, const SystemNames& names,
                                    const std::vector<EjectAnswer>& answers,
                                    const std::vector<wchar_t>& cards) {
  std::vector<PromptLine> lines;
  std::vector<DevNode> shown;
  for (const EjectAnswer& answer : answers) {
    if (std::find(shown.begin(), shown.end(), answer.node) != shown.end()) continue;
    shown.push_back(answer.node);
    lines.push_back({IDS_CL_WOULD_REMOVE, DeviceLine(tree, drives, names, answer), std::nullopt});
  }
  for (const wchar_t letter : cards)
    lines.push_back({IDS_CL_WOULD_TAKE_CARD, CardName(tree, drives, letter), std::nullopt});
  return lines;
}
