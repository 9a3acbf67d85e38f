// Hotkey codes: conversion for the hotkey entry control and RegisterHotKey, and the
// text the device list shows.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "common/UiLanguage.h"

struct HotkeyModifiers {
  unsigned modifiers = 0;   // MOD_* bits for RegisterHotKey
  unsigned virtualKey = 0;  // bits 0-15 of the code
  bool operator==(const HotkeyModifiers&) const = default;
};

// HKM_GETHOTKEY value (low byte key, high byte flags) -> hotkey code.
std::uint32_t HotkeyFromControl(std::uint16_t controlValue);
// Hotkey code -> HKM_SETHOTKEY value.
std::uint16_t HotkeyToControl(std::uint32_t code);
HotkeyModifiers HotkeyToModifiers(std::uint32_t code, bool winkey);
std::wstring HotkeyToText(std::uint32_t code, bool winkey,
                          UiLanguage language = UiLanguage::Japanese);

// The key-name table's text for a virtual key; "-" for codes above 0xFF.
std::wstring_view KeyName(unsigned virtualKey, UiLanguage language = UiLanguage::Japanese);

// The text a row without a hotkey shows.
inline constexpr std::wstring_view kNoHotkeyText = L"なし";
inline constexpr std::wstring_view kNoHotkeyTextEnglish = L"None";
