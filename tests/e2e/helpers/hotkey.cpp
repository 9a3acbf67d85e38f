// hotkey.exe [--hold MS] COMBO: tries to register that global hotkey, as another
// application would. Exit 0: it was free; exit 1: it is taken. With --hold the
// hotkey stays registered for that long (printing "held" once it is) before
// this program releases it and ends.
#include "common.h"

int wmain(int argc, wchar_t** argv) {
    const e2e::Args args(argc, argv, {L"--hold"});
    if (args.words.size() != 1) return e2e::Fail(L"usage: hotkey.exe [--hold MS] COMBO");
    const auto combo = e2e::ParseCombo(args.words[0]);
    if (!combo) return e2e::Fail(L"hotkey: not a key combination: " + args.words[0]);
    long holdMs = 0;
    if (const auto hold = args.Get(L"--hold")) {
        const auto value = e2e::ParseNumber(hold->c_str());
        if (!value || *value < 0) return e2e::Fail(L"hotkey: bad --hold " + *hold);
        holdMs = *value;
    }
    constexpr int kProbeId = 0xBFFF;  // the top of the application id range
    if (!RegisterHotKey(nullptr, kProbeId, combo->modifiers, combo->vk)) {
        e2e::Out(L"taken");
        return e2e::kExitNo;
    }
    if (holdMs > 0) {
        e2e::Out(L"held");
        Sleep(static_cast<DWORD>(holdMs));
    } else {
        e2e::Out(L"free");
    }
    UnregisterHotKey(nullptr, kProbeId);
    return e2e::kExitOk;
}
