#include "SimulatedSystemLog.h"

#include <charconv>
#include <algorithm>
#include <chrono>

#include "Utf8Text.h"

namespace {

// Between 1601, where FILETIME counts from, and 1970.
constexpr std::uint64_t kUnixEpochAsFileTime = 116444736000000000ull;

template <typename Number>
bool ParseNumber(std::string_view text, Number& value) {
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  return !text.empty() && error == std::errc{} && end == text.data() + text.size();
}

std::vector<std::string_view> SplitTabs(std::string_view line) {
  std::vector<std::string_view> fields;
  for (std::size_t start = 0;;) {
    const std::size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
    if (tab == std::string_view::npos) return fields;
    start = tab + 1;
  }
}

}  // namespace

NativePath SystemLogFor(const NativePath& treeFile) {
#ifdef _WIN32
  return treeFile + L".system-log";
#else
  return treeFile + ".system-log";
#endif
}

std::uint64_t SimulatedSystemTime() {
  const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
  const auto ticks = std::chrono::duration_cast<std::chrono::duration<std::int64_t, std::ratio<1, 10'000'000>>>(sinceEpoch);
  return kUnixEpochAsFileTime + static_cast<std::uint64_t>(ticks.count());
}

std::string FormatVetoEventLine(const VetoEvent& event) {
  return std::to_string(event.time) + '\t' + std::to_string(event.processId) + '\t' +
         EncodeUtf8(event.processName) + '\t' + EncodeUtf8(event.deviceInstance) + '\n';
}

std::vector<VetoEvent> ParseVetoEventLines(std::string_view utf8) {
  std::vector<VetoEvent> events;
  while (!utf8.empty()) {
    const std::size_t end = utf8.find('\n');
    std::string_view line = utf8.substr(0, end);
    utf8.remove_prefix(end == std::string_view::npos ? utf8.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const auto fields = SplitTabs(line);
    if (fields.size() != 4) continue;
    VetoEvent event;
    const auto program = DecodeUtf8(fields[2]);
    const auto device = DecodeUtf8(fields[3]);
    if (!ParseNumber(fields[0], event.time) || !ParseNumber(fields[1], event.processId) ||
        !program || !device)
      continue;
    event.processName = *program;
    event.deviceInstance = *device;
    events.push_back(std::move(event));
  }
  return events;
}

std::optional<std::uint64_t> VetoQueryWindowMs(std::wstring_view xpath) {
  constexpr std::wstring_view kHead =
      L"*[System[Provider[@Name='Microsoft-Windows-Kernel-PnP'] and (EventID=225) and "
      L"TimeCreated[timediff(@SystemTime) <= ";
  constexpr std::wstring_view kTail = L"]]]";
  if (xpath.size() <= kHead.size() + kTail.size() || xpath.substr(0, kHead.size()) != kHead ||
      xpath.substr(xpath.size() - kTail.size()) != kTail)
    return std::nullopt;
  const std::wstring_view digits = xpath.substr(kHead.size(), xpath.size() - kHead.size() - kTail.size());
  std::uint64_t window = 0;
  for (const wchar_t c : digits) {
    if (c < L'0' || c > L'9' || window > 0xFFFFFFFFull) return std::nullopt;
    window = window * 10 + static_cast<std::uint64_t>(c - L'0');
  }
  return window;
}

std::vector<VetoEvent> EventsWithin(const std::vector<VetoEvent>& all, std::uint64_t now,
                                    std::uint64_t windowMs, bool newestFirst) {
  const std::uint64_t span = windowMs * 10'000;
  const std::uint64_t oldest = now > span ? now - span : 0;
  std::vector<VetoEvent> within;
  for (const VetoEvent& event : all)
    if (event.time >= oldest) within.push_back(event);
  std::stable_sort(within.begin(), within.end(),
                   [](const VetoEvent& a, const VetoEvent& b) { return a.time < b.time; });
  if (newestFirst) std::reverse(within.begin(), within.end());
  return within;
}
