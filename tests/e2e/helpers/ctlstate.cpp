// ctlstate.exe HWND: one line per descendant of the window, tab-separated:
// handle, control id, class, enabled (0/1), check state (0/1/2, or - when the
// control is no check box or radio button), left,top,right,bottom in the window's
// client coordinates.
// ctlstate.exe HWND --set-text ID TEXT: gives a control of that window a text, as
// typing it would (WM_SETTEXT).
#include "common.h"

namespace {

bool HasCheckState(HWND control) {
    if (e2e::ClassName(control) != L"Button") return false;
    switch (GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK) {
        case BS_CHECKBOX: case BS_AUTOCHECKBOX: case BS_3STATE: case BS_AUTO3STATE:
        case BS_RADIOBUTTON: case BS_AUTORADIOBUTTON:
            return true;
        default:
            return false;
    }
}

std::wstring CheckState(HWND control) {
    if (!HasCheckState(control)) return L"-";
    DWORD_PTR state = 0;
    if (!SendMessageTimeoutW(control, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, e2e::kSendTimeoutMs, &state))
        return L"?";
    return std::to_wstring(static_cast<unsigned long>(state));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const e2e::Args args(argc, argv, {L"--set-text"});
    const auto setId = args.Get(L"--set-text");
    if (args.words.size() != (setId ? 2u : 1u))
        return e2e::Fail(L"usage: ctlstate.exe HWND [--set-text ID TEXT]");
    const auto window = e2e::ParseHandle(args.words[0].c_str());
    if (!window) return e2e::Fail(L"ctlstate: bad handle " + args.words[0]);
    if (!IsWindow(*window)) return e2e::Fail(L"ctlstate: no such window", e2e::kExitNo);

    if (setId) {
        const auto id = e2e::ParseNumber(setId->c_str());
        if (!id) return e2e::Fail(L"ctlstate: bad id " + *setId);
        const HWND control = GetDlgItem(*window, static_cast<int>(*id));
        if (!control) return e2e::Fail(L"ctlstate: no control " + *setId, e2e::kExitNo);
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(args.words[1].c_str()),
                                 SMTO_ABORTIFHUNG, e2e::kSendTimeoutMs, &result) || !result)
            return e2e::Fail(L"ctlstate: WM_SETTEXT failed", e2e::kExitNo);
        return e2e::kExitOk;
    }

    for (HWND control : e2e::ChildWindows(*window)) {
        RECT rect = {};
        GetWindowRect(control, &rect);
        MapWindowPoints(nullptr, *window, reinterpret_cast<POINT*>(&rect), 2);
        wchar_t numbers[64];
        swprintf(numbers, 64, L"%ld,%ld,%ld,%ld", rect.left, rect.top, rect.right, rect.bottom);
        e2e::Out(e2e::HandleText(control) + L"\t" +
                 std::to_wstring(static_cast<long>(GetWindowLongPtrW(control, GWLP_ID))) + L"\t" +
                 e2e::Escape(e2e::ClassName(control)) + L"\t" + (IsWindowEnabled(control) ? L"1" : L"0") +
                 L"\t" + CheckState(control) + L"\t" + numbers);
    }
    return e2e::kExitOk;
}
