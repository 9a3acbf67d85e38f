// Seam through which the core asks the Win32 layer to show one of the program's
// message boxes; the core never shows a window itself.
#pragma once

#include <optional>
#include <string>

class Prompter {
 public:
  virtual ~Prompter() = default;

  // Shows string `textId` under caption `captionId` with MessageBoxW `flags`.
  // When `argument` is given it takes the place of the text's "%s" (passed as an
  // argument, never as part of a format string). Returns the button pressed.
  virtual int Show(unsigned textId, const std::optional<std::wstring>& argument,
                   unsigned captionId, unsigned flags) = 0;
};
