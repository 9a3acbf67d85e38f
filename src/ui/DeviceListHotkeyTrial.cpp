#include "ui/DeviceListHotkeyTrial.h"

#include <optional>

#include "common/Prompter.h"
#include "common/WinValues.h"
#include "hotkeys/HotkeyCode.h"
#include "hotkeys/HotkeyRegistrar.h"
#include "resources/resource.h"

bool TryHotkeyRegistration(HotkeyRegistrar& registrar, std::uint32_t code, bool winkey,
                           Prompter& prompter) {
  const HotkeyModifiers combination = HotkeyToModifiers(code, winkey);
  if (!registrar.Register(kTrialHotkeyId, combination.modifiers, combination.virtualKey)) {
    prompter.Show(IDS_HOTKEY_TAKEN_TRIAL, std::nullopt, IDS_ERROR_CAPTION,
                  winvalues::kMbOk | winvalues::kMbIconError);
    return false;
  }
  registrar.Unregister(kTrialHotkeyId);
  return true;
}
