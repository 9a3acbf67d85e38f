#include "devices/win32/ShellWindowsCom.h"

#include <windows.h>
#include <exdisp.h>
#include <ole2.h>
#include <shldisp.h>

#include <utility>

#include "common/win32/Com.h"

namespace {

using win32::ComPtr;
using winvalues::HResult;

class ComShellBrowserWindow final : public ShellBrowserWindow {
 public:
  explicit ComShellBrowserWindow(ComPtr<IWebBrowser2> browser) : browser_(std::move(browser)) {}

  HResult GetFolderPath(std::optional<std::wstring>& path) override {
    path.reset();
    ComPtr<IDispatch> document;
    HRESULT hr = browser_->get_Document(document.Put());
    if (FAILED(hr) || !document) return hr;
    ComPtr<IShellFolderViewDual> view;
    hr = document.As(view, IID_IShellFolderViewDual);
    if (FAILED(hr) || !view) return hr;
    ComPtr<Folder> folder;
    hr = view->get_Folder(folder.Put());
    if (FAILED(hr) || !folder) return hr;
    ComPtr<Folder2> folder2;
    hr = folder.As(folder2, IID_Folder2);
    if (FAILED(hr) || !folder2) return hr;
    ComPtr<FolderItem> self;
    hr = folder2->get_Self(self.Put());
    if (FAILED(hr) || !self) return hr;
    win32::Bstr text;
    hr = self->get_Path(text.Put());
    if (FAILED(hr)) return hr;
    // A null BSTR is the empty string.
    path.emplace(text.get(), text.get() == nullptr ? 0 : ::SysStringLen(text.get()));
    return hr;
  }

  HResult Quit() override { return browser_->Quit(); }

 private:
  ComPtr<IWebBrowser2> browser_;
};

class ComShellWindowsConnection final : public ShellWindowsConnection {
 public:
  bool Open() {
    if (!apartment_.ok()) return false;
    ComPtr<IUnknown> unknown;
    if (FAILED(::CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_ALL, IID_IUnknown,
                                  unknown.PutVoid())) ||
        !unknown) {
      return false;
    }
    if (FAILED(::OleRun(unknown.get()))) return false;
    return SUCCEEDED(unknown.As(windows_, IID_IShellWindows)) && windows_;
  }

  HResult GetCount(std::int32_t& count) override {
    long n = 0;
    const HRESULT hr = windows_->get_Count(&n);
    count = n;
    return hr;
  }

  HResult GetBrowser(std::int32_t index, std::unique_ptr<ShellBrowserWindow>& window) override {
    window.reset();
    win32::Variant position;
    position.get().vt = VT_I4;
    position.get().lVal = index;
    ComPtr<IDispatch> item;
    HRESULT hr = windows_->Item(position.get(), item.Put());
    if (FAILED(hr) || !item) return hr;
    ComPtr<IWebBrowser2> browser;
    hr = item.As(browser, IID_IWebBrowser2);
    if (FAILED(hr) || !browser) return hr;
    window = std::make_unique<ComShellBrowserWindow>(std::move(browser));
    return hr;
  }

 private:
  // Declared first so that it goes last: every pointer is released before
  // CoUninitialize.
  win32::ComApartment apartment_;
  ComPtr<IShellWindows> windows_;
};

}  // namespace

std::unique_ptr<ShellWindowsConnection> ComShellWindows::Connect() {
  auto connection = std::make_unique<ComShellWindowsConnection>();
  if (!connection->Open()) return nullptr;
  return connection;
}
