// helpprobe.exe FILE.chm ID...: asks the help component for each topic by number
// (HH_HELP_CONTEXT), as the program's Help buttons do, and prints "id<TAB>handle"
// per id (0x00000000 when the component refused it). Closes every help window it
// opened before it exits. Exit status 1 when hhctrl.ocx cannot be loaded.
#include "common.h"

namespace {

// Same numbers as the help component's header; loaded at run time as the program does.
constexpr UINT kHelpContext = 0x000F;
constexpr UINT kCloseAll = 0x0012;
using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCWSTR, UINT, DWORD_PTR);

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const e2e::Args args(argc, argv, {});
    if (args.words.size() < 2) return e2e::Fail(L"usage: helpprobe.exe FILE.chm ID...");
    std::vector<DWORD_PTR> ids;
    for (size_t i = 1; i < args.words.size(); ++i) {
        const auto id = e2e::ParseNumber(args.words[i].c_str());
        if (!id || *id < 0) return e2e::Fail(L"helpprobe: bad id " + args.words[i]);
        ids.push_back(static_cast<DWORD_PTR>(*id));
    }

    HMODULE module = LoadLibraryW(L"hhctrl.ocx");
    if (!module) return e2e::Fail(L"helpprobe: hhctrl.ocx not loaded", e2e::kExitNo);
    const auto htmlHelp = reinterpret_cast<HtmlHelpFunction>(
        reinterpret_cast<void*>(GetProcAddress(module, "HtmlHelpW")));
    if (!htmlHelp) return e2e::Fail(L"helpprobe: no HtmlHelpW in hhctrl.ocx", e2e::kExitNo);

    // A caller window of our own, as a dialog would be; never shown.
    HWND caller = CreateWindowExW(0, L"STATIC", L"helpprobe", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    if (!caller) caller = GetDesktopWindow();

    const std::wstring file = args.words[0];
    for (size_t i = 0; i < ids.size(); ++i) {
        const HWND help = htmlHelp(caller, file.c_str(), kHelpContext, ids[i]);
        e2e::Out(args.words[i + 1] + L"\t" + e2e::HandleText(help));
    }

    htmlHelp(nullptr, nullptr, kCloseAll, 0);
    if (caller != GetDesktopWindow()) DestroyWindow(caller);
    // Let the help windows' messages run so that they are really gone before we end.
    MSG msg;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < 200) {
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(20);
    }
    FreeLibrary(module);
    return e2e::kExitOk;
}
