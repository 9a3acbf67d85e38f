// consoletext.exe IMAGE: the text of the console that the running process of that image
// name (cmd.exe, say) is attached to, as a user sees it: one line per row of the screen
// buffer down to the last row that holds anything, blanks at the ends of rows cut.
// Exit 1 when there is no such process or it has no console.
#include "common.h"

namespace {

// Attached to another process's console for as long as it lives. A process has at most
// one console, so the harness's (if any) is left first; attaching points the standard
// handles at the attached console, and the harness reads the ones it handed down.
class ConsoleVisit {
public:
    explicit ConsoleVisit(DWORD pid)
        : output_(GetStdHandle(STD_OUTPUT_HANDLE)), errors_(GetStdHandle(STD_ERROR_HANDLE)) {
        FreeConsole();
        attached_ = AttachConsole(pid) != 0;
    }
    ~ConsoleVisit() {
        FreeConsole();
        SetStdHandle(STD_OUTPUT_HANDLE, output_);
        SetStdHandle(STD_ERROR_HANDLE, errors_);
    }
    ConsoleVisit(const ConsoleVisit&) = delete;
    ConsoleVisit& operator=(const ConsoleVisit&) = delete;

    // The screen's rows, or nothing when the console cannot be read.
    std::optional<std::vector<std::wstring>> Rows() const {
        if (!attached_) return std::nullopt;
        const HANDLE screen = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE,
                                          FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                          OPEN_EXISTING, 0, nullptr);
        if (screen == INVALID_HANDLE_VALUE) return std::nullopt;
        CONSOLE_SCREEN_BUFFER_INFO info{};
        std::optional<std::vector<std::wstring>> rows;
        if (GetConsoleScreenBufferInfo(screen, &info)) {
            rows.emplace();
            const SHORT width = info.dwSize.X;
            for (SHORT y = 0; y < info.dwSize.Y; ++y) {
                std::wstring row(static_cast<size_t>(width), L' ');
                DWORD read = 0;
                ReadConsoleOutputCharacterW(screen, row.data(), static_cast<DWORD>(width),
                                            COORD{0, y}, &read);
                row.resize(read);
                row.erase(row.find_last_not_of(L' ') + 1);
                rows->push_back(row);
            }
        }
        CloseHandle(screen);
        return rows;
    }

private:
    HANDLE output_;
    HANDLE errors_;
    bool attached_ = false;
};

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const e2e::Args args(argc, argv, {});
    if (args.words.size() != 1) return e2e::Fail(L"usage: consoletext.exe IMAGE");
    const auto pid = e2e::FindProcessId(args.words[0]);
    if (!pid) return e2e::Fail(L"no such process", e2e::kExitNo);
    std::optional<std::vector<std::wstring>> rows;
    {
        const ConsoleVisit visit(*pid);
        rows = visit.Rows();
    }
    if (!rows) return e2e::Fail(L"no console to read", e2e::kExitNo);
    while (!rows->empty() && rows->back().empty()) rows->pop_back();
    for (const std::wstring& row : *rows) e2e::Out(row);
    return e2e::kExitOk;
}
