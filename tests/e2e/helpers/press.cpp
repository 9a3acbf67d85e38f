// press.exe COMBO...: types each key combination (e.g. "ctrl+alt+f5") through
// SendInput, as a user's keyboard would, modifiers first and released last.
#include "keyinput.h"

int wmain(int argc, wchar_t** argv) {
    const e2e::Args args(argc, argv, {});
    if (args.words.empty()) return e2e::Fail(L"usage: press.exe COMBO [COMBO...]");
    for (const auto& word : args.words) {
        const auto combo = e2e::ParseCombo(word);
        if (!combo) return e2e::Fail(L"press: not a key combination: " + word);
        std::vector<INPUT> inputs = e2e::ComboInputs(*combo);
        const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
        if (sent != inputs.size()) return e2e::Fail(L"press: SendInput refused " + word, e2e::kExitNo);
        Sleep(50);  // lets the receiver see separate presses, not one burst
    }
    return e2e::kExitOk;
}
