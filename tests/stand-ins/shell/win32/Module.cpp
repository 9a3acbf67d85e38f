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

constexpr const IID* kFactoryInterfaces[] = {&IID_IClassFactory};

class ShellWindowsFactory final : public UnknownObject<IClassFactory> {
 public:
  ShellWindowsFactory() : UnknownObject(kFactoryInterfaces) {}

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
