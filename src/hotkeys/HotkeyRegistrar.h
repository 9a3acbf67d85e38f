// Seam over RegisterHotKey / UnregisterHotKey on one window.
#pragma once

class HotkeyRegistrar {
 public:
  virtual ~HotkeyRegistrar() = default;
  virtual bool Register(int id, unsigned modifiers, unsigned virtualKey) = 0;
  virtual void Unregister(int id) = 0;
};
