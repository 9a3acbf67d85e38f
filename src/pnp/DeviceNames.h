// Display names and class icons of device nodes, and the one comparison of device
// names that the program uses.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "pnp/DeviceTree.h"

// Property buffers, in UTF-16 units; a value needs room for its NUL as well.
inline constexpr std::size_t kNameBufferUnits = 460;      // 920 bytes
inline constexpr std::size_t kClassGuidBufferUnits = 39;  // 78 bytes: "{...}" and NUL
static_assert(kNameBufferUnits * 2 == 920 && kClassGuidBufferUnits * 2 == 78);

inline constexpr std::wstring_view kUnknownDevice = L"Unknown Device";
inline constexpr std::wstring_view kGenericVolume = L"汎用ボリューム";

// Equal when the texts differ at most in the case of A to Z; every other character,
// Japanese included, must match exactly.
bool DeviceNamesEqual(std::wstring_view a, std::wstring_view b);

// A name typed on the command line: equal as above, or, when it holds "*" or "?", a
// pattern over the display name under the same comparison.
bool DeviceNameMatches(std::wstring_view displayName, std::wstring_view nameOrPattern);

// Length in UTF-16 units, whatever the width of wchar_t.
std::size_t Utf16Units(std::wstring_view text);

// Whether a property value and its NUL fit a buffer of `bufferUnits` UTF-16 units.
bool FitsPropertyBuffer(std::wstring_view value, std::size_t bufferUnits);

// The naming rule over any way of reading a node's properties: friendly name, else
// description, else "Unknown Device". `read(property, bufferUnits, text)` returns a
// CONFIGRET.
template <typename ReadProperty>
std::wstring DisplayNameFrom(ReadProperty&& read) {
  std::wstring text;
  if (read(DeviceProperty::FriendlyName, kNameBufferUnits, text) == winvalues::kCrSuccess)
    return text;
  if (read(DeviceProperty::DeviceDesc, kNameBufferUnits, text) == winvalues::kCrSuccess)
    return text;
  return std::wstring(kUnknownDevice);
}

// The node's display name: the one identity of a device for listing and removal alike.
std::wstring GetDeviceName(DeviceTree& tree, DevNode node);

// False when `displayName`, read from `node`, is only the fallback of a node that has
// left the tree: an unplugged device reads as "Unknown Device" too, and offering or
// matching it would take whatever still hangs above it.
bool NamedWhilePresent(DeviceTree& tree, DevNode node, std::wstring_view displayName);

// Index of the node's class icon in `imageList`; 0 when the class GUID cannot be read or
// parsed, or the class has no icon there.
int GetDeviceImage(DeviceTree& tree, DevNode node, const ClassImageList* imageList);
