// recordwin.exe --title T [--timeout MS]: another application's visible top-level
// window with that title, which comes to the front and records what is done to it:
// "ready", every new title ("title") and a cancel command ("cancel"), one line
// each, tab-separated with the wall-clock time (Unix microseconds, walltime.h).
// A cancel command (WM_COMMAND IDCANCEL) closes it, as it closes a message box;
// exit 0 then, and 1 when the time-out ends it first.
#include "common.h"
#include "walltime.h"

namespace {

constexpr UINT_PTR kTimeoutTimer = 1;
bool g_cancelled = false;

LRESULT CALLBACK RecordProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SETTEXT:
            e2e::Out(L"title\t" + e2e::WallMicrosText() + L"\t" +
                     e2e::Escape(reinterpret_cast<const wchar_t*>(lParam)));
            break;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDCANCEL) {
                e2e::Out(L"cancel\t" + e2e::WallMicrosText());
                g_cancelled = true;
                DestroyWindow(hwnd);
                return 0;
            }
            break;
        case WM_TIMER:
            if (wParam == kTimeoutTimer) DestroyWindow(hwnd);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const e2e::Args args(argc, argv, {L"--title", L"--timeout"});
    const auto title = args.Get(L"--title");
    if (!title || !args.words.empty()) return e2e::Fail(L"usage: recordwin.exe --title T [--timeout MS]");

    WNDCLASSW wc = {};
    wc.lpfnWndProc = RecordProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = L"E2ERecordWindow";
    if (!RegisterClassW(&wc)) return e2e::Fail(L"recordwin: RegisterClass failed", e2e::kExitNo);
    const HWND hwnd = CreateWindowExW(0, wc.lpszClassName, title->c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                      100, 100, 360, 140, nullptr, nullptr, wc.hInstance, nullptr);
    if (!hwnd) return e2e::Fail(L"recordwin: CreateWindow failed", e2e::kExitNo);
    SetForegroundWindow(hwnd);
    SetTimer(hwnd, kTimeoutTimer, args.TimeoutMs(60000), nullptr);
    e2e::Out(L"ready\t" + e2e::WallMicrosText() + L"\t" + e2e::HandleText(hwnd));

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return g_cancelled ? e2e::kExitOk : e2e::kExitNo;
}
