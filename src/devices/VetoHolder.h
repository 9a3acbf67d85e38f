// Who holds a device whose removal was vetoed. Windows 7 and later write it down in the
// System log (Kernel-PnP event 225: the process and the device it stopped); the request's
// own veto type and name are all that older systems give.
#pragma once

#include <cstdint>
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
  bool operator==(const VetoEvent&) const = default;
};

struct VetoHolder {
  std::wstring program;  // the file name, without its folder
  std::uint32_t processId = 0;
  bool operator==(const VetoHolder&) const = default;
};

// The System log's recent events 225, newest first, as many as could be read within
// `withinMs`; nothing when the log cannot be read (no wevtapi, a system before Windows 7,
// no right to read it).
class VetoEventLog {
 public:
  virtual ~VetoEventLog() = default;
  virtual std::optional<std::vector<VetoEvent>> RecentVetoEvents(std::uint32_t withinMs) = 0;
};

// The process id the system gives itself: its vetoes name nobody the user could close.
inline constexpr std::uint32_t kSystemProcessId = 4;

// The newest event, not older than `notBefore`, whose device is one of `vetoedIds` (the
// vetoed node and the nodes below it; compared without regard to case); null when none.
const VetoEvent* ChooseVetoEvent(const std::vector<VetoEvent>& newestFirst,
                                 const std::vector<std::wstring>& vetoedIds,
                                 std::uint64_t notBefore);

// The program an event names; none when the system itself held the device.
std::optional<VetoHolder> HolderNamedBy(const VetoEvent& event);

// HolderNamedBy of ChooseVetoEvent.
std::optional<VetoHolder> ChooseVetoHolder(const std::vector<VetoEvent>& newestFirst,
                                           const std::vector<std::wstring>& vetoedIds,
                                           std::uint64_t notBefore);

// The last component of a path, as the user knows the program.
std::wstring ProgramFileName(std::wstring_view path);

// How long the look may still go on, and the pause between two looks.
class VetoLookClock {
 public:
  virtual ~VetoLookClock() = default;
  // 0 once the look is to end (its time is up, or the removal was stopped).
  virtual std::uint32_t TimeLeftMs() = 0;
  // False when the look is to end instead.
  virtual bool PauseThenGoOn() = 0;
};

// The system writes the event a moment after the veto, with no documented bound: looks
// in `log`, and again after each pause, until it finds the event of the veto. That event
// is the answer even when it names the system itself; a veto of no known device has no
// event to wait for. A log that cannot be read is not asked again.
std::optional<VetoHolder> FindVetoHolder(VetoEventLog& log,
                                         const std::vector<std::wstring>& vetoedIds,
                                         std::uint64_t notBefore, VetoLookClock& clock);
