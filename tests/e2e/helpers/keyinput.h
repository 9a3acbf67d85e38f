// The keyboard events of one key combination as a user's keyboard sends them:
// modifiers down first, the key down and up, modifiers up last.
#pragma once

#include "common.h"

namespace e2e {

inline bool IsExtendedKey(UINT vk) {
    switch (vk) {
        case VK_INSERT: case VK_DELETE: case VK_HOME: case VK_END: case VK_PRIOR: case VK_NEXT:
        case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN: case VK_LWIN: case VK_RWIN:
        case VK_APPS:
            return true;
        default:
            return false;
    }
}

inline INPUT KeyEvent(UINT vk, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = static_cast<WORD>(vk);
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(vk, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = (up ? KEYEVENTF_KEYUP : 0) | (IsExtendedKey(vk) ? KEYEVENTF_EXTENDEDKEY : 0);
    return input;
}

template <typename Combo>
std::vector<INPUT> ComboInputs(const Combo& combo) {
    std::vector<UINT> modifiers;
    if (combo.modifiers & MOD_CONTROL) modifiers.push_back(VK_CONTROL);
    if (combo.modifiers & MOD_ALT) modifiers.push_back(VK_MENU);
    if (combo.modifiers & MOD_SHIFT) modifiers.push_back(VK_SHIFT);
    if (combo.modifiers & MOD_WIN) modifiers.push_back(VK_LWIN);
    std::vector<INPUT> inputs;
    for (UINT vk : modifiers) inputs.push_back(KeyEvent(vk, false));
    inputs.push_back(KeyEvent(combo.vk, false));
    inputs.push_back(KeyEvent(combo.vk, true));
    for (auto it = modifiers.rbegin(); it != modifiers.rend(); ++it) inputs.push_back(KeyEvent(*it, true));
    return inputs;
}

}  // namespace e2e
