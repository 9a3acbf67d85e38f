// The hotkey seam on RegisterHotKey / UnregisterHotKey for one window.
#pragma once

#include <windows.h>

#include "hotkeys/HotkeyRegistrar.h"

class WindowHotkeyRegistrar final : public HotkeyRegistrar {
 public:
  // `extraModifiers` are added to every registration (MOD_NOREPEAT).
  explicit WindowHotkeyRegistrar(HWND window, unsigned extraModifiers = 0)
      : window_(window), extraModifiers_(extraModifiers) {}
  bool Register(int id, unsigned modifiers, unsigned virtualKey) override {
    return ::RegisterHotKey(window_, id, modifiers | extraModifiers_, virtualKey) != FALSE;
  }
  void Unregister(int id) override { ::UnregisterHotKey(window_, id); }

 private:
  HWND window_;
  unsigned extraModifiers_;
};
