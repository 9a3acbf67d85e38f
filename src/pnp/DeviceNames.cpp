#include "pnp/DeviceNames.h"

#include "common/AsciiCase.h"
#include "common/Wildcard.h"
#include "pnp/DeviceNodes.h"

namespace {

// The registry form is "{" + 36 characters + "}"; the 36 go to UuidFromStringW.
constexpr std::size_t kGuidTextLength = 36;

}  // namespace

bool DeviceNamesEqual(std::wstring_view a, std::wstring_view b) {
  return EqualIgnoringAsciiCase(a, b);
}

bool DeviceNameMatches(std::wstring_view displayName, std::wstring_view nameOrPattern) {
  if (DeviceNamesEqual(displayName, nameOrPattern)) return true;
  return HasWildcards(nameOrPattern) &&
         MatchesWildcard(nameOrPattern, displayName, [](wchar_t c) { return UpperAscii(c); });
}

std::size_t Utf16Units(std::wstring_view text) {
  std::size_t units = text.size();
  if constexpr (sizeof(wchar_t) > 2) {
    for (wchar_t c : text)
      if ((static_cast<std::uint32_t>(c) >> 16) != 0) ++units;
  }
  return units;
}

bool FitsPropertyBuffer(std::wstring_view value, std::size_t bufferUnits) {
  return Utf16Units(value) < bufferUnits;
}

std::wstring GetDeviceName(DeviceTree& tree, DevNode node) {
  return DisplayNameFrom([&](DeviceProperty property, std::size_t units, std::wstring& text) {
    return tree.GetRegistryProperty(node, property, units, text);
  });
}

int GetDeviceImage(DeviceTree& tree, DevNode node, const ClassImageList* imageList) {
  std::wstring text;
  if (tree.GetRegistryProperty(node, DeviceProperty::ClassGuid, kClassGuidBufferUnits, text) !=
      winvalues::kCrSuccess)
    return 0;
  if (text.empty()) return 0;
  // Drop the opening brace and cut at the closing one's place, whatever stands there:
  // a malformed text then fails to parse instead of being read past.
  int index = 0;
  if (!tree.GetClassImageIndex(imageList, std::wstring_view(text).substr(1, kGuidTextLength),
                               index))
    return 0;
  return index;
}

bool NamedWhilePresent(DeviceTree& tree, DevNode node, std::wstring_view displayName) {
  // Every present node has a status; only a nameless one needs it read.
  return displayName != kUnknownDevice || GetNodeStatus(tree, node).has_value();
}
