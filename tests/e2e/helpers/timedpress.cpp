// timedpress.exe COMBO...: types each key combination through SendInput, as
// press.exe does, and prints for each the wall-clock time (Unix microseconds,
// walltime.h) at which its keys were handed to the system, to time what the
// press sets off.
#include "common.h"
#include "walltime.h"

namespace {

INPUT Key(UINT vk, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = static_cast<WORD>(vk);
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const e2e::Args args(argc, argv, {});
    if (args.words.empty()) return e2e::Fail(L"usage: timedpress.exe COMBO [COMBO...]");
    for (const auto& word : args.words) {
        const auto combo = e2e::ParseCombo(word);
        if (!combo) return e2e::Fail(L"timedpress: not a key combination: " + word);
        std::vector<UINT> modifiers;
        if (combo->modifiers & MOD_CONTROL) modifiers.push_back(VK_CONTROL);
        if (combo->modifiers & MOD_ALT) modifiers.push_back(VK_MENU);
        if (combo->modifiers & MOD_SHIFT) modifiers.push_back(VK_SHIFT);
        if (combo->modifiers & MOD_WIN) modifiers.push_back(VK_LWIN);
        std::vector<INPUT> inputs;
        for (UINT vk : modifiers) inputs.push_back(Key(vk, false));
        inputs.push_back(Key(combo->vk, false));
        inputs.push_back(Key(combo->vk, true));
        for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) inputs.push_back(Key(*it, true));
        const std::wstring pressed = e2e::WallMicrosText();
        const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
        if (sent != inputs.size()) return e2e::Fail(L"timedpress: SendInput refused " + word, e2e::kExitNo);
        e2e::Out(pressed);
        Sleep(50);  // separate presses, not one burst
    }
    return e2e::kExitOk;
}
