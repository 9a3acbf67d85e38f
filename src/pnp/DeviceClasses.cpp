#include "pnp/DeviceClasses.h"

namespace {

constexpr std::size_t kGuidTextLength = 36;
constexpr wchar_t kHexDigits[] = L"0123456789ABCDEF";

void AppendHex(std::wstring& out, std::uint64_t value, int digits) {
  for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4)
    out += kHexDigits[(value >> shift) & 0xF];
}

std::optional<unsigned> HexValue(wchar_t c) {
  if (c >= L'0' && c <= L'9') return static_cast<unsigned>(c - L'0');
  if (c >= L'A' && c <= L'F') return static_cast<unsigned>(c - L'A' + 10);
  if (c >= L'a' && c <= L'f') return static_cast<unsigned>(c - L'a' + 10);
  return std::nullopt;
}

// Reads `digits` hex digits at `pos`, advancing it.
std::optional<std::uint64_t> ReadHex(std::wstring_view text, std::size_t& pos, int digits) {
  std::uint64_t value = 0;
  for (int i = 0; i < digits; ++i, ++pos) {
    const auto digit = HexValue(text[pos]);
    if (!digit) return std::nullopt;
    value = (value << 4) | *digit;
  }
  return value;
}

}  // namespace

std::wstring FormatClassGuid(const SetupClassGuid& guid) {
  std::wstring out;
  out.reserve(kGuidTextLength);
  AppendHex(out, guid.data1, 8);
  out += L'-';
  AppendHex(out, guid.data2, 4);
  out += L'-';
  AppendHex(out, guid.data3, 4);
  out += L'-';
  for (std::size_t i = 0; i < guid.data4.size(); ++i) {
    if (i == 2) out += L'-';
    AppendHex(out, guid.data4[i], 2);
  }
  return out;
}

std::optional<SetupClassGuid> ParseClassGuid(std::wstring_view text) {
  if (text.size() != kGuidTextLength) return std::nullopt;
  for (std::size_t hyphen : {8u, 13u, 18u, 23u})
    if (text[hyphen] != L'-') return std::nullopt;

  std::size_t pos = 0;
  SetupClassGuid guid;
  const auto d1 = ReadHex(text, pos, 8);
  ++pos;
  const auto d2 = ReadHex(text, pos, 4);
  ++pos;
  const auto d3 = ReadHex(text, pos, 4);
  ++pos;
  if (!d1 || !d2 || !d3) return std::nullopt;
  guid.data1 = static_cast<std::uint32_t>(*d1);
  guid.data2 = static_cast<std::uint16_t>(*d2);
  guid.data3 = static_cast<std::uint16_t>(*d3);
  for (std::size_t i = 0; i < guid.data4.size(); ++i) {
    if (i == 2) ++pos;
    const auto byte = ReadHex(text, pos, 2);
    if (!byte) return std::nullopt;
    guid.data4[i] = static_cast<std::uint8_t>(*byte);
  }
  return guid;
}
