#include "common/win32/MessageBoxPrompter.h"

#include "common/TextFormat.h"
#include "common/win32/ResourceStrings.h"

int MessageBoxPrompter::Show(unsigned textId, const std::optional<std::wstring>& argument,
                             unsigned captionId, unsigned flags) {
  std::wstring text = win32::LoadResourceString(textId);
  if (argument) text = FillMessageText(text, *argument);
  const std::wstring caption = win32::LoadResourceString(captionId);
  return ::MessageBoxW(owner_(), text.c_str(), caption.c_str(), flags);
}

int MessageBoxPrompter::ShowLines(const std::vector<PromptLine>& lines, unsigned captionId,
                                  unsigned flags) {
  const std::wstring text = JoinPromptLines(lines, &win32::LoadResourceString);
  const std::wstring caption = win32::LoadResourceString(captionId);
  return ::MessageBoxW(owner_(), text.c_str(), caption.c_str(), flags);
}
