// UTF-8 to and from the program's wide strings, for the tree file and the eject log.
#pragma once

#include <optional>
#include <string>
#include <string_view>

// Nothing when `text` is not well-formed UTF-8 (overlong forms and surrogates included).
std::optional<std::wstring> DecodeUtf8(std::string_view text);

// Unpaired surrogates become U+FFFD.
std::string EncodeUtf8(std::wstring_view text);
