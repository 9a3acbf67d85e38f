// watchwin.exe [--title T] [--class C] [--timeout MS]: watches for a visible
// top-level window with that exact title and/or class, and prints
// "shown<TAB>time<TAB>handle" when it appears and "gone<TAB>time" when it is no
// longer visible (times in Unix microseconds, walltime.h). Exit 0 once it has
// come and gone, 1 on time-out.
//
// Titles are read with GetWindowTextW, which takes another process's caption from
// the system without a message: the watched program may be blocked for seconds.
#include "common.h"
#include "walltime.h"

namespace {

constexpr DWORD kPollMs = 5;

struct Wanted {
    std::optional<std::wstring> title;
    std::optional<std::wstring> className;
};

std::wstring Caption(HWND hwnd) {
    wchar_t buffer[512] = {};
    GetWindowTextW(hwnd, buffer, 512);
    return buffer;
}

HWND FindVisible(const Wanted& wanted) {
    for (HWND hwnd : e2e::TopLevelWindows()) {
        if (!IsWindowVisible(hwnd)) continue;
        if (wanted.className && e2e::ClassName(hwnd) != *wanted.className) continue;
        if (wanted.title && Caption(hwnd) != *wanted.title) continue;
        return hwnd;
    }
    return nullptr;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const e2e::Args args(argc, argv, {L"--title", L"--class", L"--timeout"});
    const Wanted wanted{args.Get(L"--title"), args.Get(L"--class")};
    if (!wanted.title && !wanted.className)
        return e2e::Fail(L"usage: watchwin.exe [--title T] [--class C] [--timeout MS]");
    const DWORD timeoutMs = args.TimeoutMs(60000);
    const DWORD start = GetTickCount();
    auto timedOut = [&] { return GetTickCount() - start >= timeoutMs; };

    HWND shown = nullptr;
    while (!(shown = FindVisible(wanted))) {
        if (timedOut()) return e2e::Fail(L"watchwin: never shown", e2e::kExitNo);
        Sleep(kPollMs);
    }
    e2e::Out(L"shown\t" + e2e::WallMicrosText() + L"\t" + e2e::HandleText(shown));
    while (IsWindow(shown) && IsWindowVisible(shown)) {
        if (timedOut()) return e2e::Fail(L"watchwin: never gone", e2e::kExitNo);
        Sleep(kPollMs);
    }
    e2e::Out(L"gone\t" + e2e::WallMicrosText());
    return e2e::kExitOk;
}
