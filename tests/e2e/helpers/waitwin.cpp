// waitwin.exe [--title T] [--class C] [--visible] [--gone] [--timeout MS]:
// waits until a top-level window with that exact title and/or class exists (or,
// with --gone, no longer exists) and prints its handle. Exit 1 on time-out.
#include "common.h"

int wmain(int argc, wchar_t** argv) {
    const e2e::Args args(argc, argv, {L"--title", L"--class", L"--timeout"});
    const auto title = args.Get(L"--title");
    const auto className = args.Get(L"--class");
    if (!title && !className) {
        return e2e::Fail(L"usage: waitwin.exe [--title T] [--class C] [--visible] [--gone] [--timeout MS]");
    }
    const bool visible = args.Has(L"--visible");
    const bool gone = args.Has(L"--gone");
    HWND found = nullptr;
    const bool ok = e2e::WaitFor(args.TimeoutMs(10000), [&] {
        found = e2e::FindTopLevel(title, className, visible);
        return gone ? found == nullptr : found != nullptr;
    });
    if (!ok) return e2e::Fail(L"waitwin: timed out", e2e::kExitNo);
    if (!gone) e2e::Out(e2e::HandleText(found));
    return e2e::kExitOk;
}
