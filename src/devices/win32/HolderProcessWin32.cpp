#include "devices/win32/HolderProcessWin32.h"

#include <windows.h>

#include <optional>
#include <vector>

#include "common/AsciiCase.h"
#include "common/win32/Handles.h"
#include "common/win32/SystemLibrary.h"

namespace {

struct WindowSearch {
  DWORD processId;
  std::vector<HWND> found;
};

BOOL CALLBACK TakeVisibleWindowOf(HWND window, LPARAM param) {
  auto& search = *reinterpret_cast<WindowSearch*>(param);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if (owner == search.processId && ::IsWindowVisible(window)) search.found.push_back(window);
  return TRUE;
}

std::vector<HWND> VisibleTopLevelWindows(DWORD processId) {
  WindowSearch search{processId, {}};
  ::EnumWindows(&TakeVisibleWindowOf, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::optional<DWORD> SessionOf(DWORD processId) {
  using Fn = BOOL(WINAPI*)(DWORD, DWORD*);
  // Windows 2000 and XP lack it, and name no holders either.
  static const auto sessionOf = win32::Kernel32Function<Fn>("ProcessIdToSessionId");
  DWORD session = 0;
  // Fails without the right to query the process: a service's or another user's.
  if (sessionOf == nullptr || !sessionOf(processId, &session)) return std::nullopt;
  return session;
}

std::optional<std::wstring> ImageFileName(HANDLE process) {
  using Fn = BOOL(WINAPI*)(HANDLE, DWORD, LPWSTR, PDWORD);
  static const auto imageName = win32::Kernel32Function<Fn>("QueryFullProcessImageNameW");
  wchar_t path[MAX_PATH * 2];
  DWORD length = static_cast<DWORD>(std::size(path));
  if (imageName == nullptr || !imageName(process, 0, path, &length)) return std::nullopt;
  return ProgramFileName(std::wstring_view(path, length));
}

class OpenedHolder final : public HolderProcess {
 public:
  OpenedHolder(HANDLE process, DWORD processId) : process_(process), processId_(processId) {}

  bool AskToClose() override {
    const std::vector<HWND> windows = VisibleTopLevelWindows(processId_);
    bool refusedAll = !windows.empty();
    for (HWND window : windows) {
      // Posted, never sent: the program may answer with a question of its own.
      if (::PostMessageW(window, WM_CLOSE, 0, 0) || ::GetLastError() != ERROR_ACCESS_DENIED)
        refusedAll = false;
    }
    return !refusedAll;
  }

  bool WaitForEnd(std::uint32_t ms) override {
    return ::WaitForSingleObject(process_.get(), ms) == WAIT_OBJECT_0;
  }

 private:
  win32::UniqueHandle process_;
  DWORD processId_;
};

}  // namespace

HolderProcessView ViewHolderProcess(const VetoHolder& holder) {
  const std::optional<DWORD> ours = SessionOf(::GetCurrentProcessId());
  const std::optional<DWORD> theirs = SessionOf(holder.processId);
  return {ours && theirs && *ours == *theirs, !VisibleTopLevelWindows(holder.processId).empty()};
}

HolderClose CloseHolderProcess(const VetoHolder& holder, const RemovalStop& stop) {
  // Opened before the windows are asked, so that the id cannot pass to another process
  // while the wait goes on.
  HANDLE process =
      ::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, holder.processId);
  if (process == nullptr)
    return ::GetLastError() == ERROR_ACCESS_DENIED ? HolderClose::Refused : HolderClose::Ended;
  OpenedHolder opened(process, holder.processId);
  const std::optional<std::wstring> image = ImageFileName(process);
  if (image && !EqualIgnoringAsciiCase(*image, holder.program)) return HolderClose::Ended;
  return CloseHolder(opened, stop);
}
