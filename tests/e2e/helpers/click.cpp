// click.exe HWND [--id N | --text T]: clicks a button of that window (or the
// window itself when neither is given). BM_CLICK is posted, not sent: a click
// that opens a modal box would otherwise keep this program waiting.
#include "common.h"

int wmain(int argc, wchar_t** argv) {
    const e2e::Args args(argc, argv, {L"--id", L"--text"});
    if (args.words.size() != 1) return e2e::Fail(L"usage: click.exe HWND [--id N | --text T]");
    const auto parent = e2e::ParseHandle(args.words[0].c_str());
    if (!parent) return e2e::Fail(L"click: bad handle " + args.words[0]);
    if (!IsWindow(*parent)) return e2e::Fail(L"click: no such window", e2e::kExitNo);

    HWND button = *parent;
    if (const auto idText = args.Get(L"--id")) {
        const auto id = e2e::ParseNumber(idText->c_str());
        if (!id) return e2e::Fail(L"click: bad id " + *idText);
        button = GetDlgItem(*parent, static_cast<int>(*id));
    } else if (const auto text = args.Get(L"--text")) {
        button = nullptr;
        for (HWND child : e2e::ChildWindows(*parent)) {
            std::wstring caption = e2e::WindowText(child);
            // "&Yes" and "はい(&Y)" both match "Yes"/"はい": the accelerator mark is not text.
            std::wstring plain;
            for (size_t i = 0; i < caption.size(); ++i) {
                if (caption[i] == L'&') continue;
                plain += caption[i];
            }
            if (caption == *text || plain == *text) {
                button = child;
                break;
            }
        }
    }
    if (!button) return e2e::Fail(L"click: no such button", e2e::kExitNo);
    if (!PostMessageW(button, BM_CLICK, 0, 0)) return e2e::Fail(L"click: PostMessage failed", e2e::kExitNo);
    e2e::Out(e2e::HandleText(button));
    return e2e::kExitOk;
}
