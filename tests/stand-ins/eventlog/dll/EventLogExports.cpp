// EvtQuery, EvtNext, EvtCreateRenderContext, EvtRender and EvtClose as wevtapi answers
// them, over the System log the device stand-in keeps beside the tree file. Only the
// query form the program uses is understood; any other is refused as Windows refuses a
// query it cannot run.
#include <windows.h>
// windows.h first: winevt.h relies on its types.
#include <winevt.h>

#include <atomic>
#include <cstring>
#include <cwchar>
#include <new>
#include <string>
#include <vector>

#include "EnvironmentValue.h"
#include "FileBytes.h"
#include "SimulatedSystemLog.h"

#define STAND_IN_EXPORT extern "C" __declspec(dllexport)

namespace {

// Every handle is one of these; the tag tells a handle of ours, and its kind, from any
// other value a caller might pass.
struct Object {
  enum Kind : std::uint32_t { kResults = 0x52534C54, kEvent = 0x45564E54, kContext = 0x43545854 };
  explicit Object(Kind k) : kind(k) {}
  virtual ~Object() = default;
  Kind kind;
};

struct Results : Object {
  Results() : Object(kResults) {}
  std::vector<VetoEvent> events;
  std::size_t next = 0;
};

struct Event : Object {
  explicit Event(VetoEvent e) : Object(kEvent), event(std::move(e)) {}
  VetoEvent event;
};

enum class Value { Time, ProcessId, ProcessName, DeviceInstance, CommandLine, Unknown };

struct Context : Object {
  Context() : Object(kContext) {}
  std::vector<Value> values;
};

template <typename T>
T* As(EVT_HANDLE handle, Object::Kind kind) {
  auto* object = static_cast<Object*>(handle);
  if (object == nullptr || object->kind != kind) return nullptr;
  return static_cast<T*>(object);
}

std::vector<VetoEvent> LoggedEvents() {
  const std::wstring tree = EnvironmentValue(L"TOLLEVANE_DEVICE_TREE");
  if (tree.empty()) return {};
  const auto bytes = ReadFileBytes(SystemLogFor(tree));
  return bytes ? ParseVetoEventLines(*bytes) : std::vector<VetoEvent>{};
}

Value ValueOfPath(std::wstring_view path) {
  if (path == L"Event/System/TimeCreated/@SystemTime") return Value::Time;
  if (path == L"Event/EventData/Data[@Name='ProcessId']") return Value::ProcessId;
  if (path == L"Event/EventData/Data[@Name='ProcessName']") return Value::ProcessName;
  if (path == L"Event/EventData/Data[@Name='DeviceInstance']") return Value::DeviceInstance;
  if (path == L"Event/EventData/Data[@Name='CommandLine']") return Value::CommandLine;
  return Value::Unknown;
}

// The strings of a rendering, each with its NUL; the command line is Windows 11's only.
const std::wstring* StringOf(const VetoEvent& event, Value value) {
  switch (value) {
    case Value::ProcessName:
      return &event.processName;
    case Value::DeviceInstance:
      return &event.deviceInstance;
    default:
      return nullptr;
  }
}

// EvtCancel(NULL) calls so far: a query that waits out TOLLEVANE_EVENT_QUERY_MS (an event
// log service slow to answer) stops at the next one, as Windows' does.
std::atomic<unsigned> g_cancels{0};

bool AnswerLateUnlessCancelled() {
  const unsigned long slowMs = std::wcstoul(EnvironmentValue(L"TOLLEVANE_EVENT_QUERY_MS").c_str(), nullptr, 10);
  const unsigned seen = g_cancels.load();
  for (const DWORD start = ::GetTickCount(); ::GetTickCount() - start < slowMs; ::Sleep(10)) {
    if (g_cancels.load() != seen) return false;
  }
  return true;
}

}  // namespace

STAND_IN_EXPORT BOOL WINAPI EvtCancel(EVT_HANDLE object) {
  if (object != nullptr) return TRUE;  // no handle of ours has a pending operation
  ++g_cancels;
  return TRUE;
}

STAND_IN_EXPORT EVT_HANDLE WINAPI EvtQuery(EVT_HANDLE session, LPCWSTR path, LPCWSTR query,
                                           DWORD flags) {
  const DWORD direction = flags & (EvtQueryForwardDirection | EvtQueryReverseDirection);
  if (session != nullptr || (flags & EvtQueryFilePath) != 0 ||
      direction == (EvtQueryForwardDirection | EvtQueryReverseDirection)) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (path == nullptr || _wcsicmp(path, L"System") != 0) {
    ::SetLastError(ERROR_EVT_CHANNEL_NOT_FOUND);
    return nullptr;
  }
  const auto window = query ? VetoQueryWindowMs(query) : std::nullopt;
  if (!window) {
    ::SetLastError(ERROR_EVT_INVALID_QUERY);
    return nullptr;
  }
  if (!AnswerLateUnlessCancelled()) {
    ::SetLastError(ERROR_CANCELLED);
    return nullptr;
  }
  auto* results = new (std::nothrow) Results();
  if (results == nullptr) {
    ::SetLastError(ERROR_OUTOFMEMORY);
    return nullptr;
  }
  results->events = EventsWithin(LoggedEvents(), SimulatedSystemTime(), *window,
                                 direction == EvtQueryReverseDirection);
  return results;
}

STAND_IN_EXPORT BOOL WINAPI EvtNext(EVT_HANDLE resultSet, DWORD eventsSize, EVT_HANDLE* events,
                                    DWORD /*timeout*/, DWORD flags, PDWORD returned) {
  auto* results = As<Results>(resultSet, Object::kResults);
  if (results == nullptr || events == nullptr || returned == nullptr || eventsSize == 0 ||
      flags != 0) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  *returned = 0;
  if (results->next >= results->events.size()) {
    ::SetLastError(ERROR_NO_MORE_ITEMS);
    return FALSE;
  }
  while (*returned < eventsSize && results->next < results->events.size()) {
    events[*returned] = new Event(results->events[results->next++]);
    ++*returned;
  }
  return TRUE;
}

STAND_IN_EXPORT EVT_HANDLE WINAPI EvtCreateRenderContext(DWORD valuePathsCount, LPCWSTR* valuePaths,
                                                         DWORD flags) {
  if (flags != EvtRenderContextValues || valuePathsCount == 0 || valuePaths == nullptr) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto* context = new Context();
  for (DWORD i = 0; i < valuePathsCount; ++i) {
    if (valuePaths[i] == nullptr) {
      delete context;
      ::SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
    }
    context->values.push_back(ValueOfPath(valuePaths[i]));
  }
  return context;
}

// The values as an array of EVT_VARIANT, one per path in the context's order, the strings
// they point to after the array in the same buffer; a value the event lacks is null.
STAND_IN_EXPORT BOOL WINAPI EvtRender(EVT_HANDLE contextHandle, EVT_HANDLE fragment, DWORD flags,
                                      DWORD bufferSize, PVOID buffer, PDWORD bufferUsed,
                                      PDWORD propertyCount) {
  const auto* context = As<Context>(contextHandle, Object::kContext);
  const auto* event = As<Event>(fragment, Object::kEvent);
  if (context == nullptr || event == nullptr || flags != EvtRenderEventValues ||
      bufferUsed == nullptr || propertyCount == nullptr || (buffer == nullptr && bufferSize != 0)) {
    ::SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  const std::size_t count = context->values.size();
  std::size_t needed = count * sizeof(EVT_VARIANT);
  for (const Value value : context->values)
    if (const std::wstring* text = StringOf(event->event, value))
      needed += (text->size() + 1) * sizeof(wchar_t);
  *bufferUsed = static_cast<DWORD>(needed);
  *propertyCount = static_cast<DWORD>(count);
  if (bufferSize < needed) {
    ::SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  auto* variants = static_cast<EVT_VARIANT*>(buffer);
  auto* strings = reinterpret_cast<wchar_t*>(variants + count);
  for (std::size_t i = 0; i < count; ++i) {
    EVT_VARIANT& variant = variants[i];
    std::memset(&variant, 0, sizeof(variant));
    const Value value = context->values[i];
    if (const std::wstring* text = StringOf(event->event, value)) {
      std::memcpy(strings, text->c_str(), (text->size() + 1) * sizeof(wchar_t));
      variant.StringVal = strings;
      variant.Type = EvtVarTypeString;
      strings += text->size() + 1;
    } else if (value == Value::Time) {
      variant.FileTimeVal = event->event.time;
      variant.Type = EvtVarTypeFileTime;
    } else if (value == Value::ProcessId) {
      variant.UInt32Val = event->event.processId;
      variant.Type = EvtVarTypeUInt32;
    } else {
      variant.Type = EvtVarTypeNull;
    }
  }
  return TRUE;
}

STAND_IN_EXPORT BOOL WINAPI EvtClose(EVT_HANDLE handle) {
  auto* object = static_cast<Object*>(handle);
  if (object == nullptr ||
      (object->kind != Object::kResults && object->kind != Object::kEvent &&
       object->kind != Object::kContext)) {
    ::SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  delete object;
  return TRUE;
}
