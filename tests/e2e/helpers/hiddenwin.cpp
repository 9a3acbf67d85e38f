// hiddenwin.exe: the smallest resident Win32 program, one hidden top-level window
// and a message loop, as a yardstick for what a resident program costs under the
// same system. WM_CLOSE ends it.
#include <windows.h>

namespace {

LRESULT CALLBACK HiddenProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int wmain() {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = HiddenProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"E2EHiddenWindow";
    if (!RegisterClassW(&wc)) return 1;
    if (!CreateWindowExW(0, wc.lpszClassName, L"hiddenwin", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                         wc.hInstance, nullptr))
        return 1;
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
    return 0;
}
