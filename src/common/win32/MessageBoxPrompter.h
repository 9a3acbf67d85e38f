// The message-box seam on MessageBoxW, with texts from the string table.
#pragma once

#include <windows.h>

#include <functional>

#include "common/Prompter.h"

class MessageBoxPrompter final : public Prompter {
 public:
  // The owner is asked for at each message, so that it can be GetActiveWindow().
  explicit MessageBoxPrompter(std::function<HWND()> owner) : owner_(std::move(owner)) {}
  explicit MessageBoxPrompter(HWND owner) : owner_([owner] { return owner; }) {}

  int Show(unsigned textId, const std::optional<std::wstring>& argument, unsigned captionId,
           unsigned flags) override;
  int ShowLines(const std::vector<PromptLine>& lines, unsigned captionId, unsigned flags) override;
  // A task dialog, which alone lets a button say what it does; a message box without
  // the third button where there is none (before Windows Vista).
  int ShowLinesWithThirdButton(const std::vector<PromptLine>& lines, unsigned captionId,
                               unsigned flags, const PromptLine& third) override;

 private:
  std::function<HWND()> owner_;
};
