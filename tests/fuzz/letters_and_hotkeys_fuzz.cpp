// The letter encoding of byte blocks and the hotkey codes: each conversion comes back
// to what it started from wherever the target form can hold it, and says plainly what
// it drops where it cannot.
//
// Input: bytes 0-3 a hotkey code, least significant first; bytes 4-5 a hotkey control
// value, likewise; byte 6 the Windows-key flag in bit 0; the rest a HOTKEY value as a
// hand-edited settings file may hold it. Missing bytes count as 0.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "common/WinValues.h"
#include "fakes/FakeProfileStore.h"
#include "hotkeys/HotkeyCode.h"
#include "settings/LetterEncoding.h"
#include "settings/SettingsFile.h"

namespace {

constexpr std::size_t kHeaderBytes = 7;

struct Input {
  std::uint32_t code = 0;
  std::uint16_t controlValue = 0;
  bool winkey = false;
  ByteBlock rest;
};

Input ReadInput(const std::uint8_t* data, std::size_t size) {
  std::uint8_t header[kHeaderBytes] = {};
  for (std::size_t i = 0; i < kHeaderBytes && i < size; ++i) header[i] = data[i];
  Input input;
  for (int i = 3; i >= 0; --i) input.code = (input.code << 8) | header[i];
  input.controlValue = static_cast<std::uint16_t>(header[4] | (header[5] << 8));
  input.winkey = (header[6] & 1) != 0;
  if (size > kHeaderBytes) input.rest.assign(data + kHeaderBytes, data + size);
  return input;
}

std::wstring CodeText(std::uint32_t code) { return L"code " + std::to_wstring(code); }

// The modifiers a code carries: its modifier byte without the extended-key bit and
// without the bits no control sets, which only a hand-edited file can hold.
unsigned ModifierFlags(std::uint32_t code) {
  using namespace winvalues;
  return (code >> 16) & (kHotkeyfShift | kHotkeyfControl | kHotkeyfAlt);
}

bool IsLetter(wchar_t c) { return c >= L'A' && c <= L'P'; }

void ExpectBlockRoundTrip(const ByteBlock& block) {
  const std::wstring letters = EncodeLetters(block);
  FUZZ_EXPECT(letters.size() == 2 * block.size(), letters);
  for (const wchar_t c : letters) FUZZ_EXPECT(IsLetter(c), letters);
  // The empty block is the one that cannot come back: an empty value means "none".
  const std::optional<ByteBlock> decoded = DecodeLetters(letters);
  FUZZ_EXPECT(block.empty() ? !decoded : decoded == block, letters);
}

// A hand-edited value decodes to something definite, and its encoding is the canonical
// spelling of that block; a value that is already canonical comes back unchanged.
void ExpectTextRoundTrip(const std::wstring& text) {
  const std::optional<ByteBlock> decoded = DecodeLetters(text);
  FUZZ_EXPECT(text.empty() == !decoded, text);
  if (!decoded) return;
  FUZZ_EXPECT(decoded->size() == text.size() / 2, text);
  const std::wstring canonical = EncodeLetters(*decoded);
  FUZZ_EXPECT(DecodeLetters(canonical) == decoded || canonical.empty(), text);
  bool isCanonical = text.size() % 2 == 0;
  for (const wchar_t c : text) isCanonical = isCanonical && IsLetter(c);
  FUZZ_EXPECT(!isCanonical || canonical == text, text);

  const std::optional<std::uint32_t> code = HotkeyCodeFromBlock(decoded);
  FUZZ_EXPECT(code.has_value() == (decoded->size() >= 4), text);
  if (code)
    FUZZ_EXPECT(BlockFromHotkeyCode(*code) == ByteBlock(decoded->begin(), decoded->begin() + 4),
                text);
}

// Every code survives its four bytes, and the settings file's HOTKEY entry.
void ExpectStoredCodeRoundTrip(std::uint32_t code) {
  FUZZ_EXPECT(HotkeyCodeFromBlock(BlockFromHotkeyCode(code)) == code, CodeText(code));
  FakeProfileStore store;
  SettingsFile file(store);
  file.WriteProfileBytes(L"HOTKEY", L"001", BlockFromHotkeyCode(code));
  FUZZ_EXPECT(HotkeyCodeFromBlock(file.GetProfileBytes(L"HOTKEY", L"001")) == code, CodeText(code));
}

// The control holds a key byte and a modifier byte; the rest of a code does not reach it.
void ExpectControlRoundTrip(std::uint32_t code, std::uint16_t controlValue) {
  FUZZ_EXPECT(HotkeyToControl(HotkeyFromControl(controlValue)) == controlValue,
              L"control value " + std::to_wstring(controlValue));
  FUZZ_EXPECT(HotkeyFromControl(HotkeyToControl(code)) == (code & 0x00FF00FFu), CodeText(code));
}

// Registration takes the same modifiers in another numbering.
void ExpectModifiersRoundTrip(std::uint32_t code, bool winkey) {
  using namespace winvalues;
  const HotkeyModifiers combination = HotkeyToModifiers(code, winkey);
  FUZZ_EXPECT(combination.virtualKey == (code & 0xFFFFu), CodeText(code));
  FUZZ_EXPECT((combination.modifiers & ~(kModAlt | kModControl | kModShift | kModWin)) == 0,
              CodeText(code));
  FUZZ_EXPECT(((combination.modifiers & kModWin) != 0) == winkey, CodeText(code));
  unsigned flags = 0;
  if (combination.modifiers & kModControl) flags |= kHotkeyfControl;
  if (combination.modifiers & kModShift) flags |= kHotkeyfShift;
  if (combination.modifiers & kModAlt) flags |= kHotkeyfAlt;
  FUZZ_EXPECT(flags == ModifierFlags(code), CodeText(code));
}

bool TakePrefix(std::wstring_view& text, std::wstring_view prefix) {
  if (!text.starts_with(prefix)) return false;
  text.remove_prefix(prefix.size());
  return true;
}

// The list's text names the Windows key and the modifiers in a fixed order, then the key;
// reading it back gives the flag and the modifiers.
void ExpectTextNamesTheCombination(std::uint32_t code, bool winkey) {
  using namespace winvalues;
  const std::wstring shown = HotkeyToText(code, winkey);
  if (code == 0) {
    FUZZ_EXPECT(shown == kNoHotkeyText, shown);
    return;
  }
  std::wstring_view rest = shown;
  const bool win = TakePrefix(rest, L"Win + ");
  unsigned flags = 0;
  if (TakePrefix(rest, L"Ctrl + ")) flags |= kHotkeyfControl;
  if (TakePrefix(rest, L"Shift + ")) flags |= kHotkeyfShift;
  if (TakePrefix(rest, L"Alt + ")) flags |= kHotkeyfAlt;
  FUZZ_EXPECT(win == winkey, shown);
  FUZZ_EXPECT(flags == ModifierFlags(code), shown);
  FUZZ_EXPECT(rest == KeyName(code & 0xFFFFu), shown);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const Input input = ReadInput(data, size);
  ExpectBlockRoundTrip(input.rest);
  ExpectTextRoundTrip(WideTextFromBytes(input.rest.data(), input.rest.size()));
  ExpectStoredCodeRoundTrip(input.code);
  ExpectControlRoundTrip(input.code, input.controlValue);
  ExpectModifiersRoundTrip(input.code, input.winkey);
  ExpectTextNamesTheCombination(input.code, input.winkey);
  return 0;
}
