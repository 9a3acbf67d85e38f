#include "FuzzSupport.h"

#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "Utf8Text.h"

std::wstring WideTextFromBytes(const std::uint8_t* data, std::size_t size) {
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
  if (std::optional<std::wstring> text = DecodeUtf8(bytes)) return *text;
  std::wstring text;
  text.reserve(bytes.size());
  for (const char c : bytes) text.push_back(static_cast<wchar_t>(static_cast<unsigned char>(c)));
  return text;
}

void PropertyFailed(const char* property, std::wstring_view detail) {
  std::fprintf(stderr, "property failed: %s\n", property);
  if (!detail.empty()) std::fprintf(stderr, "  %s\n", EncodeUtf8(detail).c_str());
  std::fflush(stderr);
  std::abort();
}
