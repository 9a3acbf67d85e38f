#include "hotkeys/HotkeyCode.h"

#include "common/WinValues.h"

namespace {

constexpr std::uint32_t kKeyMask = 0xFFFF;
constexpr unsigned kModifierShift = 16;

unsigned ModifierByte(std::uint32_t code) { return (code >> kModifierShift) & 0xFF; }

}  // namespace

std::uint32_t HotkeyFromControl(std::uint16_t controlValue) {
  const std::uint32_t key = controlValue & 0xFFu;
  const std::uint32_t flags = (controlValue >> 8) & 0xFFu;
  return (flags << kModifierShift) | key;
}

std::uint16_t HotkeyToControl(std::uint32_t code) {
  return static_cast<std::uint16_t>((ModifierByte(code) << 8) | (code & 0xFFu));
}

HotkeyModifiers HotkeyToModifiers(std::uint32_t code, bool winkey) {
  using namespace winvalues;
  // The control and RegisterHotKey number Shift and Alt the other way round, so the
  // byte is translated bit by bit; the extended-key bit has no counterpart.
  const unsigned flags = ModifierByte(code);
  HotkeyModifiers result;
  if (flags & kHotkeyfControl) result.modifiers |= kModControl;
  if (flags & kHotkeyfShift) result.modifiers |= kModShift;
  if (flags & kHotkeyfAlt) result.modifiers |= kModAlt;
  if (winkey) result.modifiers |= kModWin;
  result.virtualKey = code & kKeyMask;
  return result;
}

std::wstring HotkeyToText(std::uint32_t code, bool winkey, UiLanguage language) {
  using namespace winvalues;
  if (code == 0)
    return std::wstring(language == UiLanguage::English ? kNoHotkeyTextEnglish : kNoHotkeyText);

  constexpr std::wstring_view kSeparator = L" + ";
  std::wstring text;
  if (winkey) text.append(L"Win").append(kSeparator);
  const unsigned flags = ModifierByte(code);
  // Ctrl, Shift, Alt is the order users read, whatever the bit order.
  if (flags & kHotkeyfControl) text.append(L"Ctrl").append(kSeparator);
  if (flags & kHotkeyfShift) text.append(L"Shift").append(kSeparator);
  if (flags & kHotkeyfAlt) text.append(L"Alt").append(kSeparator);
  text.append(KeyName(code & kKeyMask, language));
  return text;
}
