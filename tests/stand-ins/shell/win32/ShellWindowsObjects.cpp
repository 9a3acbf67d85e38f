#include "shell/win32/ShellWindowsObjects.h"

#include <exdisp.h>

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "FileBytes.h"
#include "shell/WindowList.h"
#include "shell/win32/ComObject.h"
#include "shell/win32/FolderObjects.h"

namespace shellstandin {

namespace {

constexpr wchar_t kWindowListVariable[] = L"TOLLEVANE_SHELL_WINDOWS";
constexpr wchar_t kQuitLogVariable[] = L"TOLLEVANE_SHELL_LOG";

std::optional<std::wstring> Variable(const wchar_t* name) {
  const DWORD size = ::GetEnvironmentVariableW(name, nullptr, 0);
  if (size == 0) return std::nullopt;
  std::wstring value(size, L'\0');
  const DWORD length = ::GetEnvironmentVariableW(name, value.data(), size);
  if (length == 0 || length >= size) return std::nullopt;
  value.resize(length);
  return value;
}

std::string FileOrNothing(const std::optional<std::wstring>& path) {
  if (!path) return {};
  return ReadFileBytes(*path).value_or(std::string{});
}

// Guards a collection that callers of any apartment may share (ThreadingModel Both).
class Lock {
 public:
  Lock() { ::InitializeCriticalSection(&section_); }
  ~Lock() { ::DeleteCriticalSection(&section_); }
  Lock(const Lock&) = delete;
  Lock& operator=(const Lock&) = delete;
  void Enter() { ::EnterCriticalSection(&section_); }
  void Leave() { ::LeaveCriticalSection(&section_); }

 private:
  CRITICAL_SECTION section_;
};

class Held {
 public:
  explicit Held(Lock& lock) : lock_(lock) { lock_.Enter(); }
  ~Held() { lock_.Leave(); }
  Held(const Held&) = delete;
  Held& operator=(const Held&) = delete;

 private:
  Lock& lock_;
};

// One open window, shared by the collection and every browser object handed out
// for it: a browser may be told to quit after the collection let it go.
struct OpenWindow {
  ListedWindow listed;
  std::atomic<bool> quit{false};
};

constexpr const IID* kBrowserInterfaces[] = {&IID_IDispatch, &IID_IWebBrowser, &IID_IWebBrowserApp,
                                               &IID_IWebBrowser2};

class StandInBrowser final : public ComObject<IWebBrowser2> {
 public:
  StandInBrowser(std::shared_ptr<OpenWindow> window, std::shared_ptr<const std::optional<std::wstring>> log)
      : ComObject(kBrowserInterfaces), window_(std::move(window)), log_(std::move(log)) {}

  HRESULT STDMETHODCALLTYPE get_Document(IDispatch** document) override {
    if (window_->listed.web) return NewWebDocument(document);
    return NewFolderView(window_->listed.location, document);
  }

  // The window leaves the collection when it next counts its windows, as
  // Explorer's window goes a moment after Quit returns. The log line is written
  // first: a close that left no record would pass unseen, so it fails instead.
  HRESULT STDMETHODCALLTYPE Quit() override {
    if (window_->quit.load()) return S_OK;
    if (*log_) {
      try {
        if (!AppendFileBytes(**log_, QuitLogLine(window_->listed))) return E_FAIL;
      } catch (...) {
        return E_OUTOFMEMORY;
      }
    }
    window_->quit.store(true);
    return S_OK;
  }

  SHELL_STAND_IN_NOT_SERVED(GoBack)
  SHELL_STAND_IN_NOT_SERVED(GoForward)
  SHELL_STAND_IN_NOT_SERVED(GoHome)
  SHELL_STAND_IN_NOT_SERVED(GoSearch)
  SHELL_STAND_IN_NOT_SERVED(Navigate, BSTR, VARIANT*, VARIANT*, VARIANT*, VARIANT*)
  SHELL_STAND_IN_NOT_SERVED(Refresh)
  SHELL_STAND_IN_NOT_SERVED(Refresh2, VARIANT*)
  SHELL_STAND_IN_NOT_SERVED(Stop)
  SHELL_STAND_IN_NOT_SERVED(get_Application, IDispatch**)
  SHELL_STAND_IN_NOT_SERVED(get_Parent, IDispatch**)
  SHELL_STAND_IN_NOT_SERVED(get_Container, IDispatch**)
  SHELL_STAND_IN_NOT_SERVED(get_TopLevelContainer, VARIANT_BOOL*)
  SHELL_STAND_IN_NOT_SERVED(get_Type, BSTR*)
  SHELL_STAND_IN_NOT_SERVED(get_Left, LONG*)
  SHELL_STAND_IN_NOT_SERVED(put_Left, LONG)
  SHELL_STAND_IN_NOT_SERVED(get_Top, LONG*)
  SHELL_STAND_IN_NOT_SERVED(put_Top, LONG)
  SHELL_STAND_IN_NOT_SERVED(get_Width, LONG*)
  SHELL_STAND_IN_NOT_SERVED(put_Width, LONG)
  SHELL_STAND_IN_NOT_SERVED(get_Height, LONG*)
  SHELL_STAND_IN_NOT_SERVED(put_Height, LONG)
  SHELL_STAND_IN_NOT_SERVED(get_LocationName, BSTR*)
  SHELL_STAND_IN_NOT_SERVED(get_LocationURL, BSTR*)
  SHELL_STAND_IN_NOT_SERVED(get_Busy, VARIANT_BOOL*)
  SHELL_STAND_IN_NOT_SERVED(ClientToWindow, int*, int*)
  SHELL_STAND_IN_NOT_SERVED(PutProperty, BSTR, VARIANT)
  SHELL_STAND_IN_NOT_SERVED(GetProperty, BSTR, VARIANT*)
  SHELL_STAND_IN_NOT_SERVED(get_Name, BSTR*)
  SHELL_STAND_IN_NOT_SERVED(get_HWND, SHANDLE_PTR*)
  SHELL_STAND_IN_NOT_SERVED(get_FullName, BSTR*)
  SHELL_STAND_IN_NOT_SERVED(get_Path, BSTR*)
  SHELL_STAND_IN_NOT_SERVED(get_Visible, VARIANT_BOOL*)
  SHELL_STAND_IN_NOT_SERVED(put_Visible, VARIANT_BOOL)
  SHELL_STAND_IN_NOT_SERVED(get_StatusBar, VARIANT_BOOL*)
  SHELL_STAND_IN_NOT_SERVED(put_StatusBar, VARIANT_BOOL)
  SHELL_STAND_IN_NOT_SERVED(get_StatusText, BSTR*)
  SHELL_STAND_IN_NOT_SERVED(put_StatusText, BSTR)
  SHELL_STAND_IN_NOT_SERVED(get_ToolBar, int*)
  SHELL_STAND_IN_NOT_SERVED(put_ToolBar, int)
  SHELL_STAND_IN_NOT_SERVED(get_MenuBar, VARIANT_BOOL*)
  SHELL_STAND_IN_NOT_SERVED(put_MenuBar, VARIANT_BOOL)
  SHELL_STAND_IN_NOT_SERVED(get_FullScreen, VARIANT_BOOL*)
  SHELL_STAND_IN_NOT_SERVED(put_FullScreen, VARIANT_BOOL)
  SHELL_STAND_IN_NOT_SERVED(Navigate2, VARIANT*, VARIANT*, VARIANT*, VARIANT*, VARIANT*)
  SHELL_STAND_IN_NOT_SERVED(QueryStatusWB, OLECMDID, OLECMDF*)
  SHELL_STAND_IN_NOT_SERVED(ExecWB, OLECMDID, OLECMDEXECOPT, VARIANT*, VARIANT*)
  SHELL_STAND_IN_NOT_SERVED(ShowBrowserBar, VARIANT*, VARIANT*, VARIANT*)
  SHELL_STAND_IN_NOT_SERVED(get_ReadyState, READYSTATE*)
  SHELL_STAND_IN_NOT_SERVED(get_Offline, VARIANT_BOOL*)
  SHELL_STAND_IN_NOT_SERVED(put_Offline, VARIANT_BOOL)
  SHELL_STAND_IN_NOT_SERVED(get_Silent, VARIANT_BOOL*)
  SHELL_STAND_IN_NOT_SERVED(put_Silent, VARIANT_BOOL)
  SHELL_STAND_IN_NOT_SERVED(get_RegisterAsBrowser, VARIANT_BOOL*)
  SHELL_STAND_IN_NOT_SERVED(put_RegisterAsBrowser, VARIANT_BOOL)
  SHELL_STAND_IN_NOT_SERVED(get_RegisterAsDropTarget, VARIANT_BOOL*)
  SHELL_STAND_IN_NOT_SERVED(put_RegisterAsDropTarget, VARIANT_BOOL)
  SHELL_STAND_IN_NOT_SERVED(get_TheaterMode, VARIANT_BOOL*)
  SHELL_STAND_IN_NOT_SERVED(put_TheaterMode, VARIANT_BOOL)
  SHELL_STAND_IN_NOT_SERVED(get_AddressBar, VARIANT_BOOL*)
  SHELL_STAND_IN_NOT_SERVED(put_AddressBar, VARIANT_BOOL)
  SHELL_STAND_IN_NOT_SERVED(get_Resizable, VARIANT_BOOL*)
  SHELL_STAND_IN_NOT_SERVED(put_Resizable, VARIANT_BOOL)

 private:
  const std::shared_ptr<OpenWindow> window_;
  const std::shared_ptr<const std::optional<std::wstring>> log_;
};

constexpr const IID* kShellWindowsInterfaces[] = {&IID_IDispatch, &IID_IShellWindows};

class StandInShellWindows final : public ComObject<IShellWindows> {
 public:
  // Windows that an earlier Quit logged stay closed, also for a later collection
  // of this or another process, as Explorer's windows do.
  StandInShellWindows()
      : ComObject(kShellWindowsInterfaces),
        log_(std::make_shared<const std::optional<std::wstring>>(Variable(kQuitLogVariable))) {
    const std::vector<ListedWindow> listed = WindowsStillOpen(
        ParseWindowList(FileOrNothing(Variable(kWindowListVariable))), ParseQuitLog(FileOrNothing(*log_)));
    for (const ListedWindow& window : listed) {
      auto open = std::make_shared<OpenWindow>();
      open->listed = window;
      windows_.push_back(std::move(open));
    }
  }

  HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override {
    if (count == nullptr) return E_POINTER;
    const Held held(lock_);
    std::erase_if(windows_, [](const std::shared_ptr<OpenWindow>& w) { return w->quit.load(); });
    *count = static_cast<LONG>(windows_.size());
    return S_OK;
  }

  // VT_I2 and VT_I4 are positions; an unknown position answers S_FALSE with null.
  // VT_UI4 asks for a window type near the foreground, which nothing here uses.
  HRESULT STDMETHODCALLTYPE Item(VARIANT index, IDispatch** folder) override {
    if (folder == nullptr) return E_POINTER;
    *folder = nullptr;
    LONG position = 0;
    switch (index.vt) {
      case VT_I4: position = index.lVal; break;
      case VT_I2: position = index.iVal; break;
      case VT_UI4: return E_NOTIMPL;
      default: return E_INVALIDARG;
    }
    const Held held(lock_);
    if (position < 0 || static_cast<std::size_t>(position) >= windows_.size()) return S_FALSE;
    return HandOut(folder, [this, position]() -> IDispatch* {
      return new StandInBrowser(windows_[static_cast<std::size_t>(position)], log_);
    });
  }

  SHELL_STAND_IN_NOT_SERVED(_NewEnum, IUnknown**)
  SHELL_STAND_IN_NOT_SERVED(Register, IDispatch*, LONG, int, LONG*)
  SHELL_STAND_IN_NOT_SERVED(RegisterPending, LONG, VARIANT*, VARIANT*, int, LONG*)
  SHELL_STAND_IN_NOT_SERVED(Revoke, LONG)
  SHELL_STAND_IN_NOT_SERVED(OnNavigate, LONG, VARIANT*)
  SHELL_STAND_IN_NOT_SERVED(OnActivated, LONG, VARIANT_BOOL)
  SHELL_STAND_IN_NOT_SERVED(FindWindowSW, VARIANT*, VARIANT*, int, LONG*, int, IDispatch**)
  SHELL_STAND_IN_NOT_SERVED(OnCreated, LONG, IUnknown*)
  SHELL_STAND_IN_NOT_SERVED(ProcessAttachDetach, VARIANT_BOOL)

 private:
  Lock lock_;
  const std::shared_ptr<const std::optional<std::wstring>> log_;
  std::vector<std::shared_ptr<OpenWindow>> windows_;
};

}  // namespace

HRESULT NewShellWindows(IUnknown** out) {
  return HandOut(out, []() -> IUnknown* { return static_cast<IShellWindows*>(new StandInShellWindows()); });
}

}  // namespace shellstandin
