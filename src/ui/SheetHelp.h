// The settings sheet's pages in their order, and the help topic the sheet's Help
// button opens for each.
#pragma once

#include <optional>

inline constexpr int kSheetPageCount = 4;

// The topic for the page at `pageIndex`; nothing for an index outside the sheet.
std::optional<unsigned> SheetHelpTopic(int pageIndex);
