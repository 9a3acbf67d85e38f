// press.exe COMBO...: types each key combination (e.g. "ctrl+alt+f5") through
// SendInput, as a user's keyboard would, modifiers first and released last.
#include "common.h"

namespace {

bool IsExtended(UINT vk) {
    switch (vk) {
        case VK_INSERT: case VK_DELETE: case VK_HOME: case VK_END: case VK_PRIOR: case VK_NEXT:
        case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: case VK_LWIN: case VK_RWIN:
        case VK_APPS:
            return true;
        default:
            return false;
    }
}

INPUT Key(UINT vk, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = static_cast<WORD>(vk);
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (IsExtended(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
    return input;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const e2e::Args args(argc, argv, {});
    if (args.words.empty()) return e2e::Fail(L"usage: press.exe COMBO [COMBO...]");
    for (const auto& word : args.words) {
        const auto combo = e2e::ParseCombo(word);
        if (!combo) return e2e::Fail(L"press: not a key combination: " + word);
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
        const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
        if (sent != inputs.size()) return e2e::Fail(L"press: SendInput refused " + word, e2e::kExitNo);
        Sleep(50);  // lets the receiver see separate presses, not one burst
    }
    return e2e::kExitOk;
}
