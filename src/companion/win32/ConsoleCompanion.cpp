// Tollevane.com, the console companion of the windowed Tollevane.exe beside it. cmd and
// PowerShell wait for a console program, and a bare "Tollevane" finds ".com" before
// ".exe": a prompt or a script then gets the program's output and exit status. The same
// command line runs through Tollevane.exe, which writes straight into the handles handed
// down. Built without the run-time library, importing kernel32 alone.
#include <windows.h>

#include "common/win32/Handles.h"
#include "companion/CompanionCommandLine.h"

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

std::size_t Append(wchar_t* to, std::size_t at, std::wstring_view text) {
  for (const wchar_t c : text) to[at++] = c;
  return at;
}

std::wstring_view View(const wchar_t* text) {
  return std::wstring_view(text, static_cast<std::size_t>(::lstrlenW(text)));
}

// A standard handle the child can inherit: the companion's own may not be inheritable,
// and handles handed down through STARTUPINFO must be.
win32::UniqueHandle InheritableCopy(DWORD which) {
  const HANDLE own = ::GetStdHandle(which);
  HANDLE copy = nullptr;
  if (own == nullptr || own == INVALID_HANDLE_VALUE ||
      !::DuplicateHandle(::GetCurrentProcess(), own, ::GetCurrentProcess(), &copy, 0, TRUE,
                         DUPLICATE_SAME_ACCESS))
    return win32::UniqueHandle();
  return win32::UniqueHandle(copy);
}

// Text on the error output: UTF-16 on a console, else bytes in the console's code page,
// as Tollevane.exe writes them.
void WriteError(std::wstring_view text) {
  const HANDLE errors = ::GetStdHandle(STD_ERROR_HANDLE);
  DWORD mode = 0;
  DWORD written = 0;
  const int units = static_cast<int>(text.size());
  if (::GetConsoleMode(errors, &mode)) {
    ::WriteConsoleW(errors, text.data(), static_cast<DWORD>(units), &written, nullptr);
    return;
  }
  const UINT codePage = ::GetConsoleOutputCP() != 0 ? ::GetConsoleOutputCP() : ::GetOEMCP();
  const int size =
      ::WideCharToMultiByte(codePage, 0, text.data(), units, nullptr, 0, nullptr, nullptr);
  if (size <= 0) return;
  char* const bytes =
      static_cast<char*>(::HeapAlloc(::GetProcessHeap(), 0, static_cast<SIZE_T>(size)));
  if (bytes == nullptr) return;
  if (::WideCharToMultiByte(codePage, 0, text.data(), units, bytes, size, nullptr, nullptr) == size)
    ::WriteFile(errors, bytes, static_cast<DWORD>(size), &written, nullptr);
  ::HeapFree(::GetProcessHeap(), 0, bytes);
}

// Which program could not be started, and the system's own words for why, in the user's
// language.
void ReportNotStarted(std::wstring_view program, DWORD error) {
  wchar_t* message = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&message), 0, nullptr);
  WriteError(program);
  WriteError(std::wstring_view(L": ", 2));
  WriteError(length != 0 ? std::wstring_view(message, length) : std::wstring_view(L"\r\n", 2));
  if (message != nullptr) ::LocalFree(message);
}

// Ctrl+C and Ctrl+Break would end the companion alone: the removal would go on and write
// to a prompt that had already come back. They are held until Tollevane.exe has ended,
// whose outcome and status then come as usual; an eject request under way cannot be
// taken back anyway.
BOOL WINAPI HoldBreaks(DWORD event) { return event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT; }

// What the child may take of the companion's start: the window it is to show. A
// shortcut key (STARTF_USEHOTKEY) travels in hStdInput, which the handles handed down
// take, and the title flags name lpTitle, which is not passed on.
constexpr DWORD kPassedStartFlags = STARTF_USESHOWWINDOW | STARTF_USESIZE | STARTF_USEPOSITION |
                                    STARTF_FORCEONFEEDBACK | STARTF_FORCEOFFFEEDBACK;

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
  win32::UniqueHandle input, output, errors;
  STARTUPINFOW own;
  ::GetStartupInfoW(&own);
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = own.dwFlags & kPassedStartFlags;
  startup.wShowWindow = own.wShowWindow;
  startup.dwX = own.dwX;
  startup.dwY = own.dwY;
  startup.dwXSize = own.dwXSize;
  startup.dwYSize = own.dwYSize;
  if (!resident) {
    input = InheritableCopy(STD_INPUT_HANDLE);
    output = InheritableCopy(STD_OUTPUT_HANDLE);
    errors = InheritableCopy(STD_ERROR_HANDLE);
    startup.dwFlags |= STARTF_USESTDHANDLES;
    startup.hStdInput = input.get();
    startup.hStdOutput = output.get();
    startup.hStdError = errors.get();
  }

  PROCESS_INFORMATION started;
  if (!::CreateProcessW(program.get(), commandLine.get(), nullptr, nullptr, resident ? FALSE : TRUE,
                        0, nullptr, nullptr, &startup, &started)) {
    ReportNotStarted(View(program.get()), ::GetLastError());
    return kNotStarted;
  }
  const win32::UniqueHandle process(started.hProcess);
  const win32::UniqueHandle thread(started.hThread);
  if (resident) return 0;
  ::SetConsoleCtrlHandler(&HoldBreaks, TRUE);

  DWORD status = kNotStarted;
  ::WaitForSingleObject(process.get(), INFINITE);
  if (!::GetExitCodeProcess(process.get(), &status)) status = kNotStarted;
  return status;
}

}  // namespace

extern "C" void CompanionEntry() { ::ExitProcess(Run()); }
