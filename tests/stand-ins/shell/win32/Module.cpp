// The in-process server's entry points and its class factory: the ShellWindows
// class only.
#include <windows.h>
#include <exdisp.h>

#include <atomic>
#include <new>

#include "shell/win32/ComObject.h"
#include "shell/win32/ShellWindowsObjects.h"

namespace shellstandin {

std::atomic<long>& LiveObjects() {
  static std::atomic<long> count{0};
  return count;
}

std::atomic<long>& ServerLocks() {
  static std::atomic<long> count{0};
  return count;
}

namespace {

class ShellWindowsFactory final : public IClassFactory {
 public:
  ShellWindowsFactory() { ++LiveObjects(); }
  virtual ~ShellWindowsFactory() { --LiveObjects(); }
  ShellWindowsFactory(const ShellWindowsFactory&) = delete;
  ShellWindowsFactory& operator=(const ShellWindowsFactory&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
      *out = static_cast<IClassFactory*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
  ULONG STDMETHODCALLTYPE Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    IUnknown* windows = nullptr;
    const HRESULT made = NewShellWindows(&windows);
    if (FAILED(made)) return made;
    const HRESULT asked = windows->QueryInterface(iid, out);
    windows->Release();
    return asked;
  }

  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    if (lock) {
      ++ServerLocks();
    } else {
      --ServerLocks();
    }
    return S_OK;
  }

 private:
  std::atomic<ULONG> references_{1};
};

}  // namespace

}  // namespace shellstandin

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  if (!IsEqualCLSID(clsid, CLSID_ShellWindows)) return CLASS_E_CLASSNOTAVAILABLE;
  auto* factory = new (std::nothrow) shellstandin::ShellWindowsFactory();
  if (factory == nullptr) return E_OUTOFMEMORY;
  const HRESULT asked = factory->QueryInterface(iid, out);
  factory->Release();
  return asked;
}

extern "C" __declspec(dllexport) HRESULT STDAPICALLTYPE DllCanUnloadNow() {
  return shellstandin::LiveObjects() == 0 && shellstandin::ServerLocks() == 0 ? S_OK : S_FALSE;
}
