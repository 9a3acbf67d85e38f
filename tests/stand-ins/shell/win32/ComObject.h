// The IUnknown and IDispatch half shared by every object the stand-in hands out:
// reference counting, QueryInterface over a fixed list of interfaces, and the
// DLL-wide count of live objects that DllCanUnloadNow answers from.
#pragma once

#include <windows.h>
#include <objbase.h>
#include <oleauto.h>

#include <atomic>
#include <span>

namespace shellstandin {

// Objects alive and LockServer locks held, for DllCanUnloadNow.
std::atomic<long>& LiveObjects();
std::atomic<long>& ServerLocks();

// Members that no client of the stand-in calls answer E_NOTIMPL. The parameters
// are unnamed, so that the list reads as the interface's declaration.
#define SHELL_STAND_IN_NOT_SERVED(name, ...) \
  HRESULT STDMETHODCALLTYPE name(__VA_ARGS__) override { return E_NOTIMPL; }

// Reference counting and QueryInterface. Interface is the object's most derived
// interface; `served` lists every IID that QueryInterface answers besides
// IUnknown, the interface's bases included (each is the same pointer here).
template <typename Interface>
class UnknownObject : public Interface {
 public:
  UnknownObject(const UnknownObject&) = delete;
  UnknownObject& operator=(const UnknownObject&) = delete;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (out == nullptr) return E_POINTER;
    if (Serves(iid)) {
      *out = static_cast<Interface*>(this);
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

 protected:
  explicit UnknownObject(std::span<const IID* const> served) : served_(served) { ++LiveObjects(); }
  virtual ~UnknownObject() { --LiveObjects(); }

 private:
  bool Serves(REFIID iid) const {
    if (IsEqualIID(iid, IID_IUnknown)) return true;
    for (const IID* served : served_) {
      if (IsEqualIID(iid, *served)) return true;
    }
    return false;
  }

  std::span<const IID* const> served_;
  // Created with the caller's reference.
  std::atomic<ULONG> references_{1};
};

// A dispatch interface's object (IID_IDispatch belongs in `served`).
template <typename Interface>
class ComObject : public UnknownObject<Interface> {
 public:
  // No type information: callers bind through the interface itself.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) return E_INVALIDARG;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info != nullptr) *info = nullptr;
    return DISP_E_BADINDEX;
  }
  SHELL_STAND_IN_NOT_SERVED(GetIDsOfNames, REFIID, LPOLESTR*, UINT, LCID, DISPID*)
  SHELL_STAND_IN_NOT_SERVED(Invoke, DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*)

 protected:
  using UnknownObject<Interface>::UnknownObject;
};

}  // namespace shellstandin

namespace shellstandin {

// Hands a new object to an out-parameter: E_POINTER for a null one, E_OUTOFMEMORY
// (and null) when the object cannot be made, since no exception may leave a
// COM method.
template <typename Interface, typename Make>
HRESULT HandOut(Interface** out, Make make) noexcept {
  if (out == nullptr) return E_POINTER;
  try {
    *out = make();
    return S_OK;
  } catch (...) {
    *out = nullptr;
    return E_OUTOFMEMORY;
  }
}

}  // namespace shellstandin
