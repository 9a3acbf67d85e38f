// postmsg.exe [--send] HWND close|MSG [WPARAM [LPARAM]]: posts a message to a window,
// e.g. WM_CLOSE to end the program the way the system asks a window to close.
// --send sends it instead, as the system sends WM_ENDSESSION, and prints the
// wall-clock time (walltime.h) at which the window's procedure returned.
#include "common.h"
#include "walltime.h"

namespace {
constexpr UINT kSendTimeoutMs = 60000;
}

int wmain(int argc, wchar_t** argv) {
    const e2e::Args args(argc, argv, {});
    if (args.words.size() < 2 || args.words.size() > 4)
        return e2e::Fail(L"usage: postmsg.exe [--send] HWND close|MSG [WPARAM [LPARAM]]");
    const auto hwnd = e2e::ParseHandle(args.words[0].c_str());
    if (!hwnd) return e2e::Fail(L"postmsg: bad handle " + args.words[0]);
    std::optional<long> values[3];
    values[0] = e2e::Lower(args.words[1]) == L"close" ? std::optional<long>(WM_CLOSE)
                                                       : e2e::ParseNumber(args.words[1].c_str());
    for (size_t i = 2; i < args.words.size(); ++i) values[i - 1] = e2e::ParseNumber(args.words[i].c_str());
    for (size_t i = 0; i + 1 < args.words.size(); ++i)
        if (!values[i]) return e2e::Fail(L"postmsg: bad number " + args.words[i + 1]);
    const UINT message = static_cast<UINT>(*values[0]);
    const WPARAM wParam = static_cast<WPARAM>(values[1].value_or(0));
    const LPARAM lParam = static_cast<LPARAM>(values[2].value_or(0));
    if (args.Has(L"--send")) {
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(*hwnd, message, wParam, lParam, SMTO_NORMAL, kSendTimeoutMs, &result))
            return e2e::Fail(L"postmsg: SendMessageTimeout failed or timed out", e2e::kExitNo);
        e2e::Out(e2e::WallMicrosText());
        return e2e::kExitOk;
    }
    if (!PostMessageW(*hwnd, message, wParam, lParam))
        return e2e::Fail(L"postmsg: PostMessage failed", e2e::kExitNo);
    return e2e::kExitOk;
}
