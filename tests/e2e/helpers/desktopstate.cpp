// desktopstate.exe [--move X,Y]: prints the foreground window
// ("foreground<TAB>handle<TAB>process<TAB>class<TAB>title", handle 0x00000000 when
// there is none) and the mouse cursor's position ("cursor<TAB>x,y"). --move puts
// the cursor there first, as a user moving the mouse would.
#include "common.h"

int wmain(int argc, wchar_t** argv) {
    const e2e::Args args(argc, argv, {L"--move"});
    if (!args.words.empty()) return e2e::Fail(L"usage: desktopstate.exe [--move X,Y]");
    if (const auto move = args.Get(L"--move")) {
        long x = 0, y = 0;
        if (swscanf(move->c_str(), L"%ld,%ld", &x, &y) != 2) return e2e::Fail(L"desktopstate: bad --move " + *move);
        if (!SetCursorPos(static_cast<int>(x), static_cast<int>(y)))
            return e2e::Fail(L"desktopstate: SetCursorPos failed", e2e::kExitNo);
    }
    const HWND foreground = GetForegroundWindow();
    DWORD pid = 0;
    if (foreground) GetWindowThreadProcessId(foreground, &pid);
    wchar_t title[512] = {};
    if (foreground) GetWindowTextW(foreground, title, 512);
    e2e::Out(L"foreground\t" + e2e::HandleText(foreground) + L"\t" +
             e2e::Escape(foreground ? e2e::ProcessName(pid) : L"") + L"\t" +
             e2e::Escape(foreground ? e2e::ClassName(foreground) : L"") + L"\t" + e2e::Escape(title));
    POINT cursor = {};
    GetCursorPos(&cursor);
    e2e::Out(L"cursor\t" + std::to_wstring(cursor.x) + L"," + std::to_wstring(cursor.y));
    return e2e::kExitOk;
}
