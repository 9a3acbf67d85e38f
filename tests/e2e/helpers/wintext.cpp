// wintext.exe HWND: the window's own line, then one per descendant, tab-separated:
// handle, class, control id, visible (0/1), text. A message box's text is in its
// Static child.
#include "common.h"

namespace {

void Print(HWND hwnd) {
    const auto id = GetWindowLongPtrW(hwnd, GWLP_ID);
    e2e::Out(e2e::HandleText(hwnd) + L"\t" + e2e::Escape(e2e::ClassName(hwnd)) + L"\t" +
             std::to_wstring(static_cast<long>(id)) + L"\t" + (IsWindowVisible(hwnd) ? L"1" : L"0") +
             L"\t" + e2e::Escape(e2e::WindowText(hwnd)));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const e2e::Args args(argc, argv, {});
    if (args.words.size() != 1) return e2e::Fail(L"usage: wintext.exe HWND");
    const auto hwnd = e2e::ParseHandle(args.words[0].c_str());
    if (!hwnd) return e2e::Fail(L"wintext: bad handle " + args.words[0]);
    if (!IsWindow(*hwnd)) return e2e::Fail(L"wintext: no such window", e2e::kExitNo);
    Print(*hwnd);
    for (HWND child : e2e::ChildWindows(*hwnd)) Print(child);
    return e2e::kExitOk;
}
