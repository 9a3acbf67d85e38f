#include "settings/LetterEncoding.h"

namespace {

constexpr std::size_t kHotkeyCodeBytes = 4;

}  // namespace

std::wstring EncodeLetters(const ByteBlock& bytes) {
  std::wstring text;
  text.reserve(bytes.size() * 2);
  for (const std::uint8_t byte : bytes) {
    text.push_back(static_cast<wchar_t>(L'A' + (byte & 0x0F)));
    text.push_back(static_cast<wchar_t>(L'A' + (byte >> 4)));
  }
  return text;
}

std::optional<ByteBlock> DecodeLetters(std::wstring_view text) {
  if (text.empty()) return std::nullopt;
  ByteBlock bytes;
  bytes.reserve(text.size() / 2);
  for (std::size_t i = 0; i + 1 < text.size(); i += 2) {
    // Unsigned arithmetic wraps exactly like "modulo 256" for letters outside
    // "A".."P", including those below "A", so a hand-edited value decodes to
    // something definite instead of depending on the sign of wchar_t.
    const std::uint32_t low = static_cast<std::uint32_t>(text[i]) - L'A';
    const std::uint32_t high = static_cast<std::uint32_t>(text[i + 1]) - L'A';
    bytes.push_back(static_cast<std::uint8_t>(high * 16u + low));
  }
  return bytes;
}

std::optional<std::uint32_t> HotkeyCodeFromBlock(const std::optional<ByteBlock>& block) {
  // A short value (hand-edited file) must not be read past its end; it holds no code.
  if (!block || block->size() < kHotkeyCodeBytes) return std::nullopt;
  const ByteBlock& b = *block;
  return static_cast<std::uint32_t>(b[0]) | (static_cast<std::uint32_t>(b[1]) << 8) |
         (static_cast<std::uint32_t>(b[2]) << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
}

ByteBlock BlockFromHotkeyCode(std::uint32_t code) {
  return {static_cast<std::uint8_t>(code & 0xFF), static_cast<std::uint8_t>((code >> 8) & 0xFF),
          static_cast<std::uint8_t>((code >> 16) & 0xFF),
          static_cast<std::uint8_t>((code >> 24) & 0xFF)};
}
