// Who holds a device whose removal was vetoed. Windows 7 and later write it down in the
// System log (Kernel-PnP event 225: the process and the device it stopped); the request's
// own veto type and name are all that older systems give.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// One event 225, from the values the log renders (never from its localized message).
struct VetoEvent {
  std::uint64_t time = 0;  // FILETIME units, UTC
  std::uint32_t processId = 0;
  std::wstring processName;  // an NT path, \Device\HarddiskVolume3\Windows\explorer.exe
  std::wstring deviceInstance;
  std::wstring commandLine;  // Windows 11 only
  bool operator==(const VetoEvent&) const = default;
};

struct VetoHolder {
  std::wstring program;  // the file name, without its folder
  std::uint32_t processId = 0;
  bool operator==(const VetoHolder&) const = default;
};

// The System log's recent events 225, newest first; nothing when the log cannot be read
// (no wevtapi, a system before Windows 7, no right to read it).
class VetoEventLog {
 public:
  virtual ~VetoEventLog() = default;
  virtual std::optional<std::vector<VetoEvent>> RecentVetoEvents() = 0;
};

// The process id the system gives itself: its vetoes name nobody the user could close.
inline constexpr std::uint32_t kSystemProcessId = 4;

// The newest event, not older than `notBefore`, whose device is one of `vetoedIds` (the
// vetoed node and the nodes below it; compared without regard to case).
std::optional<VetoHolder> ChooseVetoHolder(const std::vector<VetoEvent>& newestFirst,
                                           const std::vector<std::wstring>& vetoedIds,
                                           std::uint64_t notBefore);

// The last component of a path, as the user knows the program.
std::wstring ProgramFileName(std::wstring_view path);

// The system writes the event a moment after the veto, with no documented bound: looks
// in `log`, and again after each `pauseThenGoOn` that gives true, until it finds the
// holder. A log that cannot be read is not asked again.
std::optional<VetoHolder> FindVetoHolder(VetoEventLog& log, const std::vector<std::wstring>& vetoedIds,
                                         std::uint64_t notBefore,
                                         const std::function<bool()>& pauseThenGoOn);
