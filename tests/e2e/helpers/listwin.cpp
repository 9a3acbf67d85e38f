// listwin.exe: one line per top-level window, tab-separated:
// handle, process id, process image name, class, title, visible (0/1), left,top,right,bottom.
#include "common.h"

int wmain() {
    for (HWND hwnd : e2e::TopLevelWindows()) {
        DWORD pid = 0;
        GetWindowThreadProcessId(hwnd, &pid);
        RECT rect = {};
        GetWindowRect(hwnd, &rect);
        wchar_t numbers[96];
        swprintf(numbers, 96, L"%d\t%ld,%ld,%ld,%ld", IsWindowVisible(hwnd) ? 1 : 0, rect.left, rect.top,
                 rect.right, rect.bottom);
        e2e::Out(e2e::HandleText(hwnd) + L"\t" + std::to_wstring(pid) + L"\t" +
                 e2e::Escape(e2e::ProcessName(pid)) + L"\t" + e2e::Escape(e2e::ClassName(hwnd)) + L"\t" +
                 e2e::Escape(e2e::WindowText(hwnd)) + L"\t" + numbers);
    }
    return e2e::kExitOk;
}
