// postmsg.exe HWND close|MSG [WPARAM [LPARAM]]: posts a message to a window, e.g.
// WM_CLOSE to end the program the way the system asks a window to close.
#include "common.h"

int wmain(int argc, wchar_t** argv) {
    const e2e::Args args(argc, argv, {});
    if (args.words.size() < 2 || args.words.size() > 4)
        return e2e::Fail(L"usage: postmsg.exe HWND close|MSG [WPARAM [LPARAM]]");
    const auto hwnd = e2e::ParseHandle(args.words[0].c_str());
    if (!hwnd) return e2e::Fail(L"postmsg: bad handle " + args.words[0]);
    std::optional<long> values[3];
    values[0] = e2e::Lower(args.words[1]) == L"close" ? std::optional<long>(WM_CLOSE)
                                                       : e2e::ParseNumber(args.words[1].c_str());
    for (size_t i = 2; i < args.words.size(); ++i) values[i - 1] = e2e::ParseNumber(args.words[i].c_str());
    for (size_t i = 0; i + 1 < args.words.size(); ++i)
        if (!values[i]) return e2e::Fail(L"postmsg: bad number " + args.words[i + 1]);
    if (!PostMessageW(*hwnd, static_cast<UINT>(*values[0]), static_cast<WPARAM>(values[1].value_or(0)),
                      static_cast<LPARAM>(values[2].value_or(0))))
        return e2e::Fail(L"postmsg: PostMessage failed", e2e::kExitNo);
    return e2e::kExitOk;
}
