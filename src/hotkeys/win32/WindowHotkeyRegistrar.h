// The hotkey seam on RegisterHotKey / UnregisterHotKey for one window.
#pragma once

#include <windows.h>

#include "hotkeys/HotkeyRegistrar.h"

class WindowHotkeyRegistrar final : public HotkeyRegistrar {
 public:
  explicit WindowHotkeyRegistrar(HWND window) : window_(window) {}
  bool Register(int id, unsigned modifiers, unsigned virtualKey) override {
    return ::RegisterHotKey(window_, id, modifiers, virtualKey) != FALSE;
  }
  void Unregister(int id) override { ::UnregisterHotKey(window_, id); }

 private:
  HWND window_;
};
