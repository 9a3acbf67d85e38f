// shellstate.exe drives | windows: what the program's Explorer closing sees.
//   drives   one line per existing drive: root, tab, GetDriveTypeW's answer
//   windows  the ShellWindows collection as CLSCTX_ALL creates it: a line
//            "server<TAB>module" (the in-process server's file, "-" when none of
//            ours was loaded), then one line per window: position, tab, the
//            folder's path, or "(no folder view)" for a page
// Exit 1 when the collection cannot be created or walked.
#include <objbase.h>
#include <oleauto.h>
#include <exdisp.h>
#include <shldisp.h>

#include <cstdio>

#include "common.h"

namespace {

template <typename T>
struct Ref {
    T* p = nullptr;
    Ref() = default;
    Ref(const Ref&) = delete;
    Ref& operator=(const Ref&) = delete;
    ~Ref() {
        if (p) p->Release();
    }
    void** Out() { return reinterpret_cast<void**>(&p); }
};

std::wstring Hex(HRESULT hr) {
    wchar_t text[16];
    swprintf(text, 16, L"0x%08lX", static_cast<unsigned long>(hr));
    return text;
}

int Drives() {
    const DWORD mask = GetLogicalDrives();
    for (int bit = 0; bit < 26; ++bit) {
        if ((mask & (1u << bit)) == 0) continue;
        const std::wstring root{static_cast<wchar_t>(L'A' + bit), L':', L'\\'};
        e2e::Out(root + L"\t" + std::to_wstring(GetDriveTypeW(root.c_str())));
    }
    return e2e::kExitOk;
}

// The folder path of one window, as the program walks to it.
std::wstring PathOf(IDispatch* item) {
    Ref<IWebBrowser2> browser;
    if (FAILED(item->QueryInterface(IID_IWebBrowser2, browser.Out()))) return L"(no browser)";
    Ref<IDispatch> document;
    if (FAILED(browser.p->get_Document(&document.p)) || !document.p) return L"(no document)";
    Ref<IShellFolderViewDual> view;
    if (FAILED(document.p->QueryInterface(IID_IShellFolderViewDual, view.Out()))) return L"(no folder view)";
    Ref<Folder> folder;
    if (FAILED(view.p->get_Folder(&folder.p)) || !folder.p) return L"(no folder)";
    Ref<Folder2> folder2;
    if (FAILED(folder.p->QueryInterface(IID_Folder2, folder2.Out()))) return L"(no Folder2)";
    Ref<FolderItem> self;
    if (FAILED(folder2.p->get_Self(&self.p)) || !self.p) return L"(no item)";
    BSTR path = nullptr;
    if (FAILED(self.p->get_Path(&path))) return L"(no path)";
    std::wstring text(path ? path : L"", path ? SysStringLen(path) : 0);
    SysFreeString(path);
    return text;
}

int Windows() {
    Ref<IUnknown> unknown;
    HRESULT hr = CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_ALL, IID_IUnknown, unknown.Out());
    if (FAILED(hr)) return e2e::Fail(L"create\t" + Hex(hr), e2e::kExitNo);
    if (FAILED(hr = OleRun(unknown.p))) return e2e::Fail(L"run\t" + Hex(hr), e2e::kExitNo);
    Ref<IShellWindows> windows;
    if (FAILED(hr = unknown.p->QueryInterface(IID_IShellWindows, windows.Out())))
        return e2e::Fail(L"query\t" + Hex(hr), e2e::kExitNo);

    wchar_t module[MAX_PATH] = L"-";
    if (HMODULE server = GetModuleHandleW(L"shellwindows_stand_in.dll")) GetModuleFileNameW(server, module, MAX_PATH);
    e2e::Out(std::wstring(L"server\t") + module);

    long count = 0;
    if (FAILED(hr = windows.p->get_Count(&count))) return e2e::Fail(L"count\t" + Hex(hr), e2e::kExitNo);
    for (long i = 0; i < count; ++i) {
        VARIANT position;
        VariantInit(&position);
        position.vt = VT_I4;
        position.lVal = i;
        Ref<IDispatch> item;
        if (FAILED(hr = windows.p->Item(position, &item.p)) || !item.p)
            return e2e::Fail(L"item\t" + Hex(hr), e2e::kExitNo);
        e2e::Out(std::to_wstring(i) + L"\t" + e2e::Escape(PathOf(item.p)));
    }
    return e2e::kExitOk;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const e2e::Args args(argc, argv, {});
    if (args.words.size() != 1) return e2e::Fail(L"usage: shellstate.exe drives|windows");
    if (args.words[0] == L"drives") return Drives();
    if (args.words[0] != L"windows") return e2e::Fail(L"usage: shellstate.exe drives|windows");
    if (FAILED(CoInitialize(nullptr))) return e2e::Fail(L"CoInitialize failed", e2e::kExitNo);
    const int status = Windows();
    CoUninitialize();
    return status;
}
