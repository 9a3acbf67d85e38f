// The settings file's letter encoding of byte blocks: two capitals "A".."P" per byte,
// low nibble first.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

using ByteBlock = std::vector<std::uint8_t>;

std::wstring EncodeLetters(const ByteBlock& bytes);

// An empty text yields no block. Pairs decode as 16 * (second - 'A') + (first - 'A')
// modulo 256; a trailing odd letter is ignored.
std::optional<ByteBlock> DecodeLetters(std::wstring_view text);

// The hotkey code held in a HOTKEY value: its first four bytes, least significant
// first. A value that does not decode to at least four bytes holds no code.
std::optional<std::uint32_t> HotkeyCodeFromBlock(const std::optional<ByteBlock>& block);
ByteBlock BlockFromHotkeyCode(std::uint32_t code);
