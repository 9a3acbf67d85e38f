// Seam through which the core asks the Win32 layer to show one of the program's
// message boxes; the core never shows a window itself.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "common/WinValues.h"

// One string of the table with what fills its "%s" and "%d" places.
struct PromptLine {
  unsigned textId = 0;
  std::optional<std::wstring> argument;
  std::optional<int> count;
  bool operator==(const PromptLine&) const = default;
};

// What ShowLinesWithThirdButton returns for its third button; no system button has it.
inline constexpr int kIdThirdButton = 100;

class Prompter {
 public:
  virtual ~Prompter() = default;

  // Shows string `textId` under caption `captionId` with MessageBoxW `flags`.
  // When `argument` is given it takes the place of the text's "%s" (passed as an
  // argument, never as part of a format string). Returns the button pressed.
  virtual int Show(unsigned textId, const std::optional<std::wstring>& argument, unsigned captionId,
                   unsigned flags) = 0;

  // Shows the filled `lines` as one text, a blank line between them.
  virtual int ShowLines(const std::vector<PromptLine>& lines, unsigned captionId,
                        unsigned flags) = 0;

  // ShowLines with Retry and Cancel (`flags` gives the icon) and a third button that
  // says `third`. Where the system has no such message, the third button is left out.
  virtual int ShowLinesWithThirdButton(const std::vector<PromptLine>& lines, unsigned captionId,
                                       unsigned flags, const PromptLine& third) {
    (void)third;
    return ShowLines(lines, captionId, flags | winvalues::kMbRetryCancel);
  }
};
