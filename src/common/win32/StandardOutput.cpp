#include "common/win32/StandardOutput.h"

#include <algorithm>

#include "common/TextFormat.h"
#include "common/win32/SystemLibrary.h"

namespace win32 {
namespace {

// Older consoles allocate each write on a small shared heap; pieces this size fit.
constexpr std::size_t kConsoleChunk = 8192;

bool IsConsoleHandle(HANDLE handle) {
  DWORD mode = 0;
  return handle != nullptr && handle != INVALID_HANDLE_VALUE &&
         ::GetConsoleMode(handle, &mode) != 0;
}

bool IsRedirection(HANDLE handle) {
  if (handle == nullptr || handle == INVALID_HANDLE_VALUE) return false;
  const DWORD type = ::GetFileType(handle);
  // A character device that is no console is NUL or a port: it takes bytes as a file does.
  return type == FILE_TYPE_DISK || type == FILE_TYPE_PIPE || type == FILE_TYPE_CHAR;
}

std::wstring Decode(std::string_view bytes, UINT codePage) {
  if (bytes.empty()) return {};
  const int units =
      ::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring text(static_cast<std::size_t>(std::max(units, 0)), L'\0');
  if (units > 0)
    ::MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                          units);
  return text;
}

std::string Encode(std::wstring_view text, UINT codePage) {
  if (text.empty()) return {};
  const int size = ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
  std::string bytes(static_cast<std::size_t>(std::max(size, 0)), '\0');
  if (size > 0)
    ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                          size, nullptr, nullptr);
  return bytes;
}

}  // namespace

std::optional<std::string> EncodeExactly(std::wstring_view text, UINT codePage) {
  if (text.empty()) return std::string();
  // No flags: UTF-8 and several other code pages refuse every one. Whatever the code page
  // put in place of a character it lacks (a default character, a best fit) shows in the
  // round trip.
  const int size = ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
  if (size <= 0) return std::nullopt;
  std::string bytes(static_cast<std::size_t>(size), '\0');
  if (::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                            size, nullptr, nullptr) != size)
    return std::nullopt;
  if (Decode(bytes, codePage) != text) return std::nullopt;
  return bytes;
}

// AttachConsole came with XP; on Windows 2000 there is nothing to attach to. A process
// that already has a console (the system may give a windowed program its parent's) is
// refused with ERROR_ACCESS_DENIED, and keeps using the one it has.
StandardOutput::StandardOutput(StandardStream stream)
    : output_(
          ::GetStdHandle(stream == StandardStream::Error ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE)) {
  if (IsConsoleHandle(output_)) {
    console_ = output_;
    consoleReached_ = true;
    return;
  }
  using Attach = BOOL(WINAPI*)(DWORD);
  const auto attach = Kernel32Function<Attach>("AttachConsole");
  if (attach != nullptr) {
    attachedHere_ = attach(ATTACH_PARENT_PROCESS) != 0;
    consoleReached_ = attachedHere_ || ::GetLastError() == ERROR_ACCESS_DENIED;
  }
  // A console handle handed down to a program without a console of its own is usable
  // only once the program is attached to that console.
  if (IsConsoleHandle(output_)) {
    console_ = output_;
    return;
  }
  // Redirected, to NUL too: the console must not show what the user sent away.
  if (IsRedirection(output_) || !consoleReached_) return;
  // Started from a console with no handles at all, as Windows starts a windowed program.
  const HANDLE conout =
      ::CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                    nullptr, OPEN_EXISTING, 0, nullptr);
  if (conout == INVALID_HANDLE_VALUE) return;
  consoleOutput_.reset(conout);
  console_ = conout;
}

StandardOutput::~StandardOutput() {
  consoleOutput_.reset();
  if (attachedHere_) ::FreeConsole();
}

UINT StandardOutput::ReadersCodePage() const {
  const UINT console = consoleReached_ ? ::GetConsoleOutputCP() : 0;
  return console != 0 ? console : ::GetOEMCP();
}

bool StandardOutput::WriteText(std::wstring_view text) const {
  if (console_ == nullptr) return false;
  while (!text.empty()) {
    const DWORD chunk = static_cast<DWORD>(UnitsWithoutPartingPairs(text, kConsoleChunk));
    DWORD written = 0;
    if (!::WriteConsoleW(console_, text.data(), chunk, &written, nullptr) || written == 0)
      return false;
    text.remove_prefix(written);
  }
  return true;
}

bool StandardOutput::WriteForReader(std::wstring_view text, UINT codePage) const {
  if (IsConsole()) return WriteText(text);
  return WriteBytes(Encode(text, codePage));
}

bool StandardOutput::WriteBytes(std::string_view bytes) const {
  if (!IsRedirection(output_)) return false;
  while (!bytes.empty()) {
    DWORD written = 0;
    if (!::WriteFile(output_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written == 0)
      return false;
    bytes.remove_prefix(written);
  }
  return true;
}

}  // namespace win32
