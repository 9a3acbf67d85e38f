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

 private:
  std::function<HWND()> owner_;
};
