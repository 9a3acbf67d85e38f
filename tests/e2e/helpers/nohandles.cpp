// nohandles.exe PROGRAM [ARGUMENT...]: starts PROGRAM as Windows starts a windowed
// program from a console: with no standard handles handed down, so that the program
// finds its way to the console itself. Waits for it, writes "exit N" to this console and
// stays (the console with it) until it is ended, so that the console can be read.
#include "common.h"

namespace {

// The command line of the arguments from `first` on, each quoted.
std::wstring CommandLineFrom(int argc, wchar_t** argv, int first) {
    std::wstring line;
    for (int i = first; i < argc; ++i) {
        if (!line.empty()) line += L' ';
        line += L'"';
        line += argv[i];
        line += L'"';
    }
    return line;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2) return e2e::Fail(L"usage: nohandles.exe PROGRAM [ARGUMENT...]");
    std::wstring line = CommandLineFrom(argc, argv, 1);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;  // and every handle null
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return e2e::Fail(L"CreateProcessW failed", e2e::kExitNo);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 0;
    GetExitCodeProcess(process.hProcess, &status);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);

    const std::wstring text = L"exit " + std::to_wstring(status) + L"\r\n";
    DWORD written = 0;
    WriteConsoleW(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()),
                  &written, nullptr);
    Sleep(INFINITE);
    return e2e::kExitOk;
}
