// timedpress.exe [--gap MS] COMBO...: types each key combination through SendInput,
// as press.exe does, and prints for each the wall-clock time (Unix microseconds,
// walltime.h) at which its keys were handed to the system, to time what the
// press sets off. --gap spaces the presses (50 ms unless given).
#include "keyinput.h"
#include "walltime.h"

int wmain(int argc, wchar_t** argv) {
    const e2e::Args args(argc, argv, {L"--gap"});
    if (args.words.empty()) return e2e::Fail(L"usage: timedpress.exe [--gap MS] COMBO [COMBO...]");
    const auto gap = e2e::ParseNumber(args.Get(L"--gap").value_or(L"50").c_str());
    if (!gap || *gap < 0) return e2e::Fail(L"timedpress: bad --gap");
    for (const auto& word : args.words) {
        const auto combo = e2e::ParseCombo(word);
        if (!combo) return e2e::Fail(L"timedpress: not a key combination: " + word);
        std::vector<INPUT> inputs = e2e::ComboInputs(*combo);
        const std::wstring pressed = e2e::WallMicrosText();
        const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
        if (sent != inputs.size()) return e2e::Fail(L"timedpress: SendInput refused " + word, e2e::kExitNo);
        e2e::Out(pressed);
        Sleep(static_cast<DWORD>(*gap));  // separate presses, not one burst
    }
    return e2e::kExitOk;
}
