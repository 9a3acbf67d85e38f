#include "shell/win32/FolderObjects.h"

#include <shldisp.h>

#include "shell/win32/ComObject.h"

namespace shellstandin {

namespace {


constexpr const IID* kFolderItemInterfaces[] = {&IID_IDispatch, &IID_FolderItem};

class StandInFolderItem final : public ComObject<FolderItem> {
 public:
  explicit StandInFolderItem(std::wstring path) : ComObject(kFolderItemInterfaces), path_(std::move(path)) {}

  HRESULT STDMETHODCALLTYPE get_Path(BSTR* path) override {
    if (path == nullptr) return E_POINTER;
    *path = ::SysAllocStringLen(path_.data(), static_cast<UINT>(path_.size()));
    return *path == nullptr ? E_OUTOFMEMORY : S_OK;
  }

  SHELL_STAND_IN_NOT_SERVED(get_Application, IDispatch**)
  SHELL_STAND_IN_NOT_SERVED(get_Parent, IDispatch**)
  SHELL_STAND_IN_NOT_SERVED(get_Name, BSTR*)
  SHELL_STAND_IN_NOT_SERVED(put_Name, BSTR)
  SHELL_STAND_IN_NOT_SERVED(get_GetLink, IDispatch**)
  SHELL_STAND_IN_NOT_SERVED(get_GetFolder, IDispatch**)
  SHELL_STAND_IN_NOT_SERVED(get_IsLink, VARIANT_BOOL*)
  SHELL_STAND_IN_NOT_SERVED(get_IsFolder, VARIANT_BOOL*)
  SHELL_STAND_IN_NOT_SERVED(get_IsFileSystem, VARIANT_BOOL*)
  SHELL_STAND_IN_NOT_SERVED(get_IsBrowsable, VARIANT_BOOL*)
  SHELL_STAND_IN_NOT_SERVED(get_ModifyDate, DATE*)
  SHELL_STAND_IN_NOT_SERVED(put_ModifyDate, DATE)
  SHELL_STAND_IN_NOT_SERVED(get_Size, LONG*)
  SHELL_STAND_IN_NOT_SERVED(get_Type, BSTR*)
  SHELL_STAND_IN_NOT_SERVED(Verbs, FolderItemVerbs**)
  SHELL_STAND_IN_NOT_SERVED(InvokeVerb, VARIANT)

 private:
  const std::wstring path_;
};

constexpr const IID* kFolderInterfaces[] = {&IID_IDispatch, &IID_Folder, &IID_Folder2};

class StandInFolder final : public ComObject<Folder2> {
 public:
  explicit StandInFolder(std::wstring path) : ComObject(kFolderInterfaces), path_(std::move(path)) {}

  HRESULT STDMETHODCALLTYPE get_Self(FolderItem** item) override {
    return HandOut(item, [this]() -> FolderItem* { return new StandInFolderItem(path_); });
  }

  SHELL_STAND_IN_NOT_SERVED(get_Title, BSTR*)
  SHELL_STAND_IN_NOT_SERVED(get_Application, IDispatch**)
  SHELL_STAND_IN_NOT_SERVED(get_Parent, IDispatch**)
  SHELL_STAND_IN_NOT_SERVED(get_ParentFolder, Folder**)
  SHELL_STAND_IN_NOT_SERVED(Items, FolderItems**)
  SHELL_STAND_IN_NOT_SERVED(ParseName, BSTR, FolderItem**)
  SHELL_STAND_IN_NOT_SERVED(NewFolder, BSTR, VARIANT)
  SHELL_STAND_IN_NOT_SERVED(MoveHere, VARIANT, VARIANT)
  SHELL_STAND_IN_NOT_SERVED(CopyHere, VARIANT, VARIANT)
  SHELL_STAND_IN_NOT_SERVED(GetDetailsOf, VARIANT, int, BSTR*)
  SHELL_STAND_IN_NOT_SERVED(get_OfflineStatus, LONG*)
  SHELL_STAND_IN_NOT_SERVED(Synchronize)
  SHELL_STAND_IN_NOT_SERVED(get_HaveToShowWebViewBarricade, VARIANT_BOOL*)
  SHELL_STAND_IN_NOT_SERVED(DismissedWebViewBarricade)

 private:
  const std::wstring path_;
};

constexpr const IID* kViewInterfaces[] = {&IID_IDispatch, &IID_IShellFolderViewDual};

class StandInFolderView final : public ComObject<IShellFolderViewDual> {
 public:
  explicit StandInFolderView(std::wstring path) : ComObject(kViewInterfaces), path_(std::move(path)) {}

  // Handed out as the Folder interface, as the view's caller asks for Folder2 itself.
  HRESULT STDMETHODCALLTYPE get_Folder(Folder** folder) override {
    return HandOut(folder, [this]() -> Folder* { return new StandInFolder(path_); });
  }

  SHELL_STAND_IN_NOT_SERVED(get_Application, IDispatch**)
  SHELL_STAND_IN_NOT_SERVED(get_Parent, IDispatch**)
  SHELL_STAND_IN_NOT_SERVED(SelectedItems, FolderItems**)
  SHELL_STAND_IN_NOT_SERVED(get_FocusedItem, FolderItem**)
  SHELL_STAND_IN_NOT_SERVED(SelectItem, VARIANT*, int)
  SHELL_STAND_IN_NOT_SERVED(PopupItemMenu, FolderItem*, VARIANT, VARIANT, BSTR*)
  SHELL_STAND_IN_NOT_SERVED(get_Script, IDispatch**)
  SHELL_STAND_IN_NOT_SERVED(get_ViewOptions, LONG*)

 private:
  const std::wstring path_;
};

// A page's document object: a bare dispatch interface, so that the query for a
// folder view answers E_NOINTERFACE.
constexpr const IID* kWebDocumentInterfaces[] = {&IID_IDispatch};

class StandInWebDocument final : public ComObject<IDispatch> {
 public:
  StandInWebDocument() : ComObject(kWebDocumentInterfaces) {}
};

}  // namespace

HRESULT NewFolderView(const std::wstring& path, IDispatch** view) {
  return HandOut(view, [&path]() -> IDispatch* { return new StandInFolderView(path); });
}

HRESULT NewWebDocument(IDispatch** document) {
  return HandOut(document, []() -> IDispatch* { return new StandInWebDocument(); });
}

}  // namespace shellstandin
