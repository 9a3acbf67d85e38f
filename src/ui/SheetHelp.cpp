#include "ui/SheetHelp.h"

#include <array>

#include "resources/resource.h"

std::optional<unsigned> SheetHelpTopic(int pageIndex) {
  static constexpr std::array<unsigned, kSheetPageCount> kTopics = {
      IDH_DEVICE_LIST, IDH_DISPLAY_SETTINGS, IDH_OPTIONS, IDH_VERSION};
  if (pageIndex < 0 || pageIndex >= kSheetPageCount) return std::nullopt;
  return kTopics[static_cast<std::size_t>(pageIndex)];
}
