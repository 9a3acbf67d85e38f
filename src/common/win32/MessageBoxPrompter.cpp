#include "common/win32/MessageBoxPrompter.h"

#include <commctrl.h>

#include "common/TextFormat.h"
#include "common/win32/ResourceStrings.h"
#include "common/win32/SystemLibrary.h"

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

namespace {

using TaskDialogIndirectFn = HRESULT(WINAPI*)(const TASKDIALOGCONFIG*, int*, int*, BOOL*);

// The version 6 controls the manifest asks for; Windows 2000 and XP have no task dialog.
TaskDialogIndirectFn TaskDialogFunction() {
  return win32::SystemFunction<TaskDialogIndirectFn>(::GetModuleHandleW(L"comctl32.dll"),
                                                     "TaskDialogIndirect");
}

PCWSTR TaskDialogIcon(unsigned flags) {
  switch (flags & 0xF0u) {
    case winvalues::kMbIconError:
      return TD_ERROR_ICON;
    case winvalues::kMbIconExclamation:
      return TD_WARNING_ICON;
    default:
      return TD_INFORMATION_ICON;
  }
}

HRESULT CALLBACK KeepOnTop(HWND dialog, UINT notification, WPARAM, LPARAM, LONG_PTR topmost) {
  // A message box takes MB_TOPMOST; a task dialog is raised once it exists.
  if (notification == TDN_CREATED && topmost)
    ::SetWindowPos(dialog, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  return S_OK;
}

}  // namespace

int MessageBoxPrompter::ShowLinesWithThirdButton(const std::vector<PromptLine>& lines,
                                                 unsigned captionId, unsigned flags,
                                                 const PromptLine& third) {
  const TaskDialogIndirectFn taskDialog = TaskDialogFunction();
  if (taskDialog == nullptr) return ShowLines(lines, captionId, flags | winvalues::kMbRetryCancel);
  const std::wstring text = JoinPromptLines(lines, &win32::LoadResourceString);
  const std::wstring caption = win32::LoadResourceString(captionId);
  const std::wstring thirdText = JoinPromptLines({third}, &win32::LoadResourceString);
  const TASKDIALOG_BUTTON button{kIdThirdButton, thirdText.c_str()};
  TASKDIALOGCONFIG config{};
  config.cbSize = sizeof(config);
  config.hwndParent = owner_();
  config.dwFlags = TDF_ALLOW_DIALOG_CANCELLATION;
  config.dwCommonButtons = TDCBF_RETRY_BUTTON | TDCBF_CANCEL_BUTTON;
  config.pszWindowTitle = caption.c_str();
  config.pszMainIcon = TaskDialogIcon(flags);
  config.pszContent = text.c_str();
  config.cButtons = 1;
  config.pButtons = &button;
  config.nDefaultButton = IDRETRY;
  config.pfCallback = &KeepOnTop;
  config.lpCallbackData = (flags & winvalues::kMbTopmost) != 0;
  int pressed = 0;
  if (FAILED(taskDialog(&config, &pressed, nullptr, nullptr)))
    return ShowLines(lines, captionId, flags | winvalues::kMbRetryCancel);
  return pressed;
}
