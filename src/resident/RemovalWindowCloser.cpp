#include "resident/RemovalWindowCloser.h"

bool CloseRemovalWindowStep(std::uintptr_t window, TopLevelWindowPort& port) {
  const std::wstring title = port.Title(window).substr(0, kWindowTitleMaxChars);
  if (title.find(kRemovalWindowTitleText) == std::wstring::npos) return true;
  for (int remaining = 2; remaining >= 0; --remaining) {
    port.SetTitle(window, title + L" - " + std::to_wstring(remaining));
    port.Sleep(kCountdownStepMs);
  }
  port.PostCancel(window);
  return false;
}
