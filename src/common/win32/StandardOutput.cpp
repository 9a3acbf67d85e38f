#include "common/win32/StandardOutput.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "common/win32/Handles.h"
#include "common/win32/SystemLibrary.h"

namespace win32 {
namespace {

// Older consoles allocate each write on a small shared heap; pieces this size fit.
constexpr std::size_t kConsoleChunk = 8192;

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return ::GetConsoleMode(handle, &mode) != 0;
}

bool WriteConsoleText(HANDLE console, std::wstring_view text) {
  while (!text.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min(text.size(), kConsoleChunk));
    DWORD written = 0;
    if (!::WriteConsoleW(console, text.data(), chunk, &written, nullptr) || written == 0)
      return false;
    text.remove_prefix(written);
  }
  return true;
}

std::string ToUtf8(std::wstring_view text) {
  if (text.empty()) return {};
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(std::max(size, 0)), '\0');
  if (size > 0)
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                          size, nullptr, nullptr);
  return bytes;
}

bool WriteUtf8(HANDLE out, std::wstring_view text) {
  const std::string bytes = ToUtf8(text);
  std::string_view rest = bytes;
  while (!rest.empty()) {
    DWORD written = 0;
    if (!::WriteFile(out, rest.data(), static_cast<DWORD>(rest.size()), &written, nullptr) ||
        written == 0)
      return false;
    rest.remove_prefix(written);
  }
  return true;
}

// The console of the process that started this one, for as long as the object lives.
// AttachConsole came with XP; on Windows 2000 there is nothing to attach to. A process
// that already has a console (the system may give a windowed program its parent's) is
// refused with ERROR_ACCESS_DENIED, and keeps using the one it has.
class ParentConsole {
 public:
  ParentConsole() {
    using Attach = BOOL(WINAPI*)(DWORD);
    const auto attach = SystemFunction<Attach>(::GetModuleHandleW(L"kernel32.dll"), "AttachConsole");
    if (attach == nullptr) return;
    attachedHere_ = attach(ATTACH_PARENT_PROCESS) != 0;
    usable_ = attachedHere_ || ::GetLastError() == ERROR_ACCESS_DENIED;
  }
  ~ParentConsole() {
    if (attachedHere_) ::FreeConsole();
  }
  ParentConsole(const ParentConsole&) = delete;
  ParentConsole& operator=(const ParentConsole&) = delete;

  bool Write(std::wstring_view text) const {
    if (!usable_) return false;
    const UniqueHandle output(::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                            OPEN_EXISTING, 0, nullptr));
    if (!output || output.get() == INVALID_HANDLE_VALUE) return false;
    return WriteConsoleText(output.get(), text);
  }

 private:
  bool attachedHere_ = false;
  bool usable_ = false;
};

}  // namespace

bool WriteToStandardOutput(std::wstring_view text) {
  const HANDLE out = ::GetStdHandle(STD_OUTPUT_HANDLE);
  const bool usable = out != nullptr && out != INVALID_HANDLE_VALUE;
  if (usable && IsConsole(out)) return WriteConsoleText(out, text);
  const DWORD type = usable ? ::GetFileType(out) : FILE_TYPE_UNKNOWN;
  if (type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE) return WriteUtf8(out, text);

  // A console handle handed down to a program without a console of its own is
  // usable only once the program is attached to that console.
  const ParentConsole console;
  if (console.Write(text)) return true;
  // Another character device (NUL, a serial port) takes the bytes as a file would.
  return type == FILE_TYPE_CHAR && WriteUtf8(out, text);
}

}  // namespace win32
