// The hotkey entry dialog's proof that the system accepts a hotkey: one registration
// under id 0, released at once.
#pragma once

#include <cstdint>

class HotkeyRegistrar;
class Prompter;

inline constexpr int kTrialHotkeyId = 0;

// True when the system registered the combination (the registration is already
// released again); false after IDS_HOTKEY_TAKEN_TRIAL told the user that it is taken.
bool TryHotkeyRegistration(HotkeyRegistrar& registrar, std::uint32_t code, bool winkey,
                           Prompter& prompter);
