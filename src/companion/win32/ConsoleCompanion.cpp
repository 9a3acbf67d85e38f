// Tollevane.com, the console companion of the windowed Tollevane.exe beside it. cmd and
// PowerShell wait for a console program, and a bare "Tollevane" finds ".com" before
// ".exe": a prompt or a script then gets the program's output and exit status. The same
// command line runs through Tollevane.exe, which writes straight into the handles handed
// down. Built without the run-time library, importing kernel32 alone.
#include <windows.h>

#include "app/CompanionCommandLine.h"

namespace {

// The status when Tollevane.exe could not be started; the system's reason is on the
// error output. The program's own statuses stay far below it.
constexpr UINT kNotStarted = 255;
constexpr DWORD kLongestPath = 32768;

class HeapText {
 public:
  explicit HeapText(std::size_t units)
      : text_(static_cast<wchar_t*>(::HeapAlloc(::GetProcessHeap(), 0, units * sizeof(wchar_t)))) {}
  ~HeapText() {
    if (text_ != nullptr) ::HeapFree(::GetProcessHeap(), 0, text_);
  }
  HeapText(const HeapText&) = delete;
  HeapText& operator=(const HeapText&) = delete;
  wchar_t* get() const { return text_; }

 private:
  wchar_t* text_;
};

class Handle {
 public:
  explicit Handle(HANDLE handle = nullptr) : handle_(handle) {}
  ~Handle() {
    if (handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE) ::CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  HANDLE get() const { return handle_; }
  HANDLE* out() { return &handle_; }

 private:
  HANDLE handle_;
};

std::size_t Append(wchar_t* to, std::size_t at, std::wstring_view text) {
  for (const wchar_t c : text) to[at++] = c;
  return at;
}

std::wstring_view View(const wchar_t* text) {
  return std::wstring_view(text, static_cast<std::size_t>(::lstrlenW(text)));
}

// A standard handle the child can inherit: the companion's own may not be inheritable,
// and handles handed down through STARTUPINFO must be.
void InheritableCopy(DWORD which, Handle& copy) {
  const HANDLE own = ::GetStdHandle(which);
  if (own == nullptr || own == INVALID_HANDLE_VALUE) return;
  ::DuplicateHandle(::GetCurrentProcess(), own, ::GetCurrentProcess(), copy.out(), 0, TRUE,
                    DUPLICATE_SAME_ACCESS);
}

// The system's own words for `error`, in the user's language, on the error output.
void ReportNotStarted(DWORD error) {
  wchar_t* message = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
  if (length == 0) return;
  const HANDLE errors = ::GetStdHandle(STD_ERROR_HANDLE);
  DWORD mode = 0;
  DWORD written = 0;
  if (::GetConsoleMode(errors, &mode)) {
    ::WriteConsoleW(errors, message, length, &written, nullptr);
  } else {
    char bytes[1024];
    const int size = ::WideCharToMultiByte(::GetConsoleOutputCP(), 0, message,
                                           static_cast<int>(length), bytes, sizeof bytes, nullptr,
                                           nullptr);
    if (size > 0) ::WriteFile(errors, bytes, static_cast<DWORD>(size), &written, nullptr);
  }
  ::LocalFree(message);
}

UINT Run() {
  HeapText modulePath(kLongestPath);
  if (modulePath.get() == nullptr) return kNotStarted;
  const DWORD pathLength = ::GetModuleFileNameW(nullptr, modulePath.get(), kLongestPath);
  if (pathLength == 0 || pathLength >= kLongestPath) return kNotStarted;
  const std::wstring_view path(modulePath.get(), pathLength);
  const std::wstring_view stem(path.data(), companion::ExtensionStart(path));
  const std::wstring_view arguments = companion::ArgumentsOf(View(::GetCommandLineW()));

  // "C:\...\Tollevane.exe" and the arguments as they came.
  constexpr std::wstring_view kProgramExtension = L".exe";
  constexpr std::wstring_view kQuote = L"\"";
  HeapText program(stem.size() + kProgramExtension.size() + 1);
  HeapText commandLine(stem.size() + kProgramExtension.size() + arguments.size() + 3);
  if (program.get() == nullptr || commandLine.get() == nullptr) return kNotStarted;
  program.get()[Append(program.get(), Append(program.get(), 0, stem), kProgramExtension)] = L'\0';
  std::size_t at = Append(commandLine.get(), 0, kQuote);
  at = Append(commandLine.get(), at, View(program.get()));
  at = Append(commandLine.get(), at, kQuote);
  commandLine.get()[Append(commandLine.get(), at, arguments)] = L'\0';

  // The resident program outlives the prompt: it gets none of the companion's handles
  // (a pipe it held would never end) and nobody waits for it.
  const bool resident = companion::NamesNoArgument(arguments);
  Handle input, output, errors;
  STARTUPINFOW startup;
  ::GetStartupInfoW(&startup);
  startup.cb = sizeof startup;
  startup.lpReserved = nullptr;
  startup.lpTitle = nullptr;
  startup.cbReserved2 = 0;
  startup.lpReserved2 = nullptr;
  startup.dwFlags &= ~static_cast<DWORD>(STARTF_USESTDHANDLES);
  if (!resident) {
    InheritableCopy(STD_INPUT_HANDLE, input);
    InheritableCopy(STD_OUTPUT_HANDLE, output);
    InheritableCopy(STD_ERROR_HANDLE, errors);
    startup.dwFlags |= STARTF_USESTDHANDLES;
    startup.hStdInput = input.get();
    startup.hStdOutput = output.get();
    startup.hStdError = errors.get();
  }

  PROCESS_INFORMATION started;
  if (!::CreateProcessW(program.get(), commandLine.get(), nullptr, nullptr, resident ? FALSE : TRUE,
                        0, nullptr, nullptr, &startup, &started)) {
    ReportNotStarted(::GetLastError());
    return kNotStarted;
  }
  const Handle process(started.hProcess);
  const Handle thread(started.hThread);
  if (resident) return 0;

  DWORD status = kNotStarted;
  ::WaitForSingleObject(process.get(), INFINITE);
  if (!::GetExitCodeProcess(process.get(), &status)) status = kNotStarted;
  return status;
}

}  // namespace

extern "C" void CompanionEntry() { ::ExitProcess(Run()); }
