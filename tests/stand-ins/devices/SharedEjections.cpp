#include "SharedEjections.h"

#include <charconv>
#include <string>
#include <string_view>

namespace {

std::string Header(const FileStamp& stamp) {
  return "tree " + std::to_string(stamp.modified) + ' ' + std::to_string(stamp.size) + '\n';
}

template <typename Number>
std::optional<Number> ParseNumber(std::string_view text) {
  Number value{};
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

// The lines after a header that matches; nothing when the header does not.
std::optional<std::vector<int>> ParseRecord(std::string_view text, const FileStamp& stamp) {
  const std::string header = Header(stamp);
  if (text.substr(0, header.size()) != header) return std::nullopt;
  text.remove_prefix(header.size());
  std::vector<int> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    // A line still being written by another process has no newline yet.
    if (end == std::string_view::npos) break;
    if (const auto line = ParseNumber<int>(text.substr(0, end)); line && *line > 0)
      lines.push_back(*line);
    text.remove_prefix(end + 1);
  }
  return lines;
}

}  // namespace

NativePath SharedEjections::RecordFor(const NativePath& treeFile) {
#ifdef _WIN32
  return treeFile + L".gone";
#else
  return treeFile + ".gone";
#endif
}

std::vector<int> SharedEjections::Read(const std::optional<FileStamp>& treeStamp) const {
  if (!treeStamp) return {};
  const std::optional<std::string> text = ReadFileBytes(record_);
  if (!text) return {};
  return ParseRecord(*text, *treeStamp).value_or(std::vector<int>{});
}

void SharedEjections::Record(const std::optional<FileStamp>& treeStamp, int line) const {
  if (!treeStamp) return;
  const std::string entry = std::to_string(line) + '\n';
  const std::optional<std::string> text = ReadFileBytes(record_);
  if (text && ParseRecord(*text, *treeStamp))
    AppendFileBytes(record_, entry);
  else
    ReplaceFileBytes(record_, Header(*treeStamp) + entry);
}
