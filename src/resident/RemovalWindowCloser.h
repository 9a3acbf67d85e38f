// The Windows 2000 removal-window closer: counts a window titled with the system's
// hardware-removal text down in its title, then closes it as Esc would.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

inline constexpr std::wstring_view kRemovalWindowTitleText = L"ハードウェアの取り外し";
inline constexpr unsigned kCountdownStepMs = 1000;
inline constexpr std::size_t kWindowTitleMaxChars = 259;

class TopLevelWindowPort {
 public:
  virtual ~TopLevelWindowPort() = default;
  // GetWindowTextW into 260 characters.
  virtual std::wstring Title(std::uintptr_t window) = 0;
  virtual void SetTitle(std::uintptr_t window, const std::wstring& title) = 0;
  virtual void Sleep(unsigned milliseconds) = 0;
  // Posts WM_COMMAND IDCANCEL.
  virtual void PostCancel(std::uintptr_t window) = 0;
};

// The EnumWindows step: true to go on with the next window, false after handling
// a matching one.
bool CloseRemovalWindowStep(std::uintptr_t window, TopLevelWindowPort& port);
