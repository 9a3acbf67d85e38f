// answer.exe [--title CAPTION] [--timeout MS] yes|no|ok|cancel|ID: waits for a
// message box (dialog class #32770, optionally with that caption), prints its
// handle, caption and text, answers it as its button with that id would, and
// returns once the box is gone, so that a following call finds the next box.
#include "common.h"

namespace {

std::optional<int> AnswerId(const std::wstring& word) {
    const std::wstring lower = e2e::Lower(word);
    if (lower == L"ok") return IDOK;
    if (lower == L"cancel") return IDCANCEL;
    if (lower == L"yes") return IDYES;
    if (lower == L"no") return IDNO;
    if (const auto n = e2e::ParseNumber(word.c_str())) return static_cast<int>(*n);
    return std::nullopt;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const e2e::Args args(argc, argv, {L"--title", L"--timeout"});
    const auto id = args.words.size() == 1 ? AnswerId(args.words[0]) : std::nullopt;
    if (!id) return e2e::Fail(L"usage: answer.exe [--title CAPTION] [--timeout MS] yes|no|ok|cancel|ID");

    HWND box = nullptr;
    if (!e2e::WaitFor(args.TimeoutMs(10000),
                      [&] { return (box = e2e::FindTopLevel(args.Get(L"--title"), L"#32770", true)); })) {
        return e2e::Fail(L"answer: no message box", e2e::kExitNo);
    }
    std::wstring text;
    for (HWND child : e2e::ChildWindows(box)) {
        if (e2e::ClassName(child) == L"Static") text += e2e::WindowText(child);
    }
    e2e::Out(e2e::HandleText(box) + L"\t" + e2e::Escape(e2e::WindowText(box)) + L"\t" + e2e::Escape(text));

    HWND button = GetDlgItem(box, *id);
    if (!button) return e2e::Fail(L"answer: the box has no such button", e2e::kExitNo);
    // What the dialog manager sends when that button is clicked; posting keeps a
    // box whose answer opens another box from blocking this program.
    if (!PostMessageW(box, WM_COMMAND, MAKEWPARAM(*id, BN_CLICKED), reinterpret_cast<LPARAM>(button)))
        return e2e::Fail(L"answer: PostMessage failed", e2e::kExitNo);
    if (!e2e::WaitFor(args.TimeoutMs(10000), [&] { return !IsWindow(box); }))
        return e2e::Fail(L"answer: the box stayed open", e2e::kExitNo);
    return e2e::kExitOk;
}
