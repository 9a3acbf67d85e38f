#include "devices/win32/KernelPnpEventLog.h"

#include <windows.h>
// windows.h first: winevt.h relies on its types.
#include <winevt.h>

#include <process.h>

#include <memory>
#include <type_traits>
#include <utility>

#include "common/WaitDeadline.h"
#include "common/win32/CriticalSection.h"
#include "common/win32/Handles.h"
#include "common/win32/SystemLibrary.h"
#include "common/win32/WindowsVersion.h"

namespace {

// The last minute only: an older event belongs to another removal.
constexpr wchar_t kChannel[] = L"System";
constexpr wchar_t kQuery[] =
    L"*[System[Provider[@Name='Microsoft-Windows-Kernel-PnP'] and (EventID=225) and "
    L"TimeCreated[timediff(@SystemTime) <= 60000]]]";
constexpr DWORD kEventsPerCall = 16;
// Plenty for the few vetoes of a minute; a log flooded with them is not read to its end.
constexpr std::size_t kMostEvents = 256;

// The event's command line is not read: up to 32 K an event, for a message that names the
// program already.
enum ValueIndex { kTime, kProcessId, kProcessName, kDeviceInstance, kValueCount };
const wchar_t* const kValuePaths[kValueCount] = {
    L"Event/System/TimeCreated/@SystemTime",
    L"Event/EventData/Data[@Name='ProcessId']",
    L"Event/EventData/Data[@Name='ProcessName']",
    L"Event/EventData/Data[@Name='DeviceInstance']",
};

struct Wevtapi {
  decltype(&::EvtQuery) query = nullptr;
  decltype(&::EvtNext) next = nullptr;
  decltype(&::EvtCreateRenderContext) createRenderContext = nullptr;
  decltype(&::EvtRender) render = nullptr;
  decltype(&::EvtClose) close = nullptr;
  decltype(&::EvtCancel) cancel = nullptr;
  bool Complete() const { return query && next && createRenderContext && render && close; }
};

const Wevtapi& LoadWevtapi() {
  static const Wevtapi functions = [] {
    Wevtapi f;
    const HMODULE module = win32::LoadSystemLibrary(L"wevtapi.dll");
    f.query = win32::SystemFunction<decltype(f.query)>(module, "EvtQuery");
    f.next = win32::SystemFunction<decltype(f.next)>(module, "EvtNext");
    f.createRenderContext =
        win32::SystemFunction<decltype(f.createRenderContext)>(module, "EvtCreateRenderContext");
    f.render = win32::SystemFunction<decltype(f.render)>(module, "EvtRender");
    f.close = win32::SystemFunction<decltype(f.close)>(module, "EvtClose");
    f.cancel = win32::SystemFunction<decltype(f.cancel)>(module, "EvtCancel");
    return f;
  }();
  return functions;
}

struct EvtCloser {
  using pointer = EVT_HANDLE;
  void operator()(EVT_HANDLE handle) const { LoadWevtapi().close(handle); }
};
using EvtHolder = std::unique_ptr<std::remove_pointer_t<EVT_HANDLE>, EvtCloser>;

// EvtQuery takes no time-out, and the event log service can be slow to answer: the query
// runs on a thread of its own, which closes its result itself if the caller has gone.
struct QueryCall {
  win32::CriticalSection lock;
  EVT_HANDLE result = nullptr;
  bool abandoned = false;
};

unsigned __stdcall RunQuery(void* param) {
  const std::unique_ptr<std::shared_ptr<QueryCall>> call(
      static_cast<std::shared_ptr<QueryCall>*>(param));
  const Wevtapi& api = LoadWevtapi();
  const EVT_HANDLE result =
      api.query(nullptr, kChannel, kQuery, EvtQueryChannelPath | EvtQueryReverseDirection);
  const win32::CriticalSection::Hold hold((*call)->lock);
  if ((*call)->abandoned) {
    if (result != nullptr) api.close(result);
  } else {
    (*call)->result = result;
  }
  return 0;
}

EvtHolder QueryWithin(DWORD withinMs) {
  auto call = std::make_shared<QueryCall>();
  auto* reference = new std::shared_ptr<QueryCall>(call);
  const win32::UniqueHandle thread(
      reinterpret_cast<HANDLE>(::_beginthreadex(nullptr, 0, &RunQuery, reference, 0, nullptr)));
  if (!thread) {
    delete reference;
    return EvtHolder();
  }
  const bool finished = ::WaitForSingleObject(thread.get(), withinMs) == WAIT_OBJECT_0;
  const win32::CriticalSection::Hold hold(call->lock);
  if (!finished && call->result == nullptr) {
    call->abandoned = true;
    // The local session's EvtQuery stops at this: the thread ends soon rather than
    // whenever the service answers.
    if (LoadWevtapi().cancel != nullptr) LoadWevtapi().cancel(nullptr);
  }
  return EvtHolder(std::exchange(call->result, nullptr));
}

std::wstring StringOf(const EVT_VARIANT& value) {
  if ((value.Type & EVT_VARIANT_TYPE_MASK) != EvtVarTypeString || value.StringVal == nullptr)
    return {};
  return value.StringVal;
}

std::uint64_t NumberOf(const EVT_VARIANT& value) {
  switch (value.Type & EVT_VARIANT_TYPE_MASK) {
    case EvtVarTypeUInt16:
      return value.UInt16Val;
    case EvtVarTypeUInt32:
    case EvtVarTypeHexInt32:
      return value.UInt32Val;
    case EvtVarTypeInt32:
      return static_cast<std::uint32_t>(value.Int32Val);
    case EvtVarTypeUInt64:
    case EvtVarTypeHexInt64:
    case EvtVarTypeFileTime:
      return value.UInt64Val;
    default:
      return 0;
  }
}

// EvtRender's values: an array of EVT_VARIANT, one per path, whose strings live in the
// same buffer after them.
std::optional<VetoEvent> Render(EVT_HANDLE context, EVT_HANDLE event) {
  const Wevtapi& api = LoadWevtapi();
  DWORD used = 0;
  DWORD count = 0;
  if (api.render(context, event, EvtRenderEventValues, 0, nullptr, &used, &count) ||
      ::GetLastError() != ERROR_INSUFFICIENT_BUFFER || used == 0)
    return std::nullopt;
  std::vector<EVT_VARIANT> buffer((used + sizeof(EVT_VARIANT) - 1) / sizeof(EVT_VARIANT));
  const DWORD size = static_cast<DWORD>(buffer.size() * sizeof(EVT_VARIANT));
  if (!api.render(context, event, EvtRenderEventValues, size, buffer.data(), &used, &count) ||
      count < kValueCount)
    return std::nullopt;
  VetoEvent rendered;
  rendered.time = NumberOf(buffer[kTime]);
  rendered.processId = static_cast<std::uint32_t>(NumberOf(buffer[kProcessId]));
  rendered.processName = StringOf(buffer[kProcessName]);
  rendered.deviceInstance = StringOf(buffer[kDeviceInstance]);
  return rendered;
}

bool WritesVetoEvents() {
  const win32::WindowsVersion version = win32::QueryWindowsVersion();
  return version.major > 6 || (version.major == 6 && version.minor >= 1);
}

}  // namespace

std::optional<std::vector<VetoEvent>> KernelPnpEventLog::RecentVetoEvents(std::uint32_t withinMs) {
  const DWORD start = ::GetTickCount();
  const Wevtapi& api = LoadWevtapi();
  if (!WritesVetoEvents() || !api.Complete()) return std::nullopt;
  const EvtHolder query = QueryWithin(RemainingWaitMs(start, ::GetTickCount(), withinMs));
  if (!query) return std::nullopt;
  LPCWSTR paths[kValueCount];
  for (int i = 0; i < kValueCount; ++i) paths[i] = kValuePaths[i];
  const EvtHolder context(api.createRenderContext(kValueCount, paths, EvtRenderContextValues));
  if (!context) return std::nullopt;

  // What was read before a time-out or an error still counts: the event looked for is
  // among the newest, which come first.
  std::vector<VetoEvent> events;
  while (events.size() < kMostEvents) {
    const DWORD left = RemainingWaitMs(start, ::GetTickCount(), withinMs);
    if (left == 0) break;
    EVT_HANDLE batch[kEventsPerCall] = {};
    DWORD returned = 0;
    if (!api.next(query.get(), kEventsPerCall, batch, left, 0, &returned)) {
      const DWORD error = ::GetLastError();
      if (error == ERROR_NO_MORE_ITEMS || error == ERROR_TIMEOUT || !events.empty()) break;
      return std::nullopt;
    }
    for (DWORD i = 0; i < returned; ++i) {
      const EvtHolder event(batch[i]);
      if (auto rendered = Render(context.get(), event.get()))
        events.push_back(std::move(*rendered));
    }
    if (returned == 0) break;
  }
  return events;
}

std::uint64_t SystemTimeNow() {
  FILETIME now{};
  ::GetSystemTimeAsFileTime(&now);
  return (static_cast<std::uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
}
