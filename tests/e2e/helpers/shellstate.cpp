// shellstate.exe drives | devices | windows | answers: what the program's Explorer
// closing and its removal by drive letter see.
//   drives   one line per existing drive: root, tab, GetDriveTypeW's answer
//   devices  one line per existing drive: "E:", tab, the first name QueryDosDeviceW gives
//   windows  the ShellWindows collection as CLSCTX_ALL creates it: a line
//            "server<TAB>module" (the in-process server's file, "-" when none of
//            ours was loaded), then one line per window: position, tab, the
//            folder's path, or "(no folder view)" for a page
//   answers  for a list of exactly "E:\a" and "web x": the server's documented
//            answers (aggregation, identity, unknown interfaces and positions,
//            reference counts, unloading, Quit), one "name<TAB>ok|FAIL" line each
// Exit 1 when the collection cannot be created or walked, or an answer is wrong.
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

int Devices() {
    const DWORD mask = GetLogicalDrives();
    for (int bit = 0; bit < 26; ++bit) {
        if ((mask & (1u << bit)) == 0) continue;
        const std::wstring drive{static_cast<wchar_t>(L'A' + bit), L':'};
        wchar_t target[1024] = L"";
        if (QueryDosDeviceW(drive.c_str(), target, 1024) == 0) target[0] = 0;
        e2e::Out(drive + L"\t" + target);
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

struct Checks {
    bool allOk = true;
    void Check(const wchar_t* name, bool ok) {
        e2e::Out(std::wstring(name) + (ok ? L"\tok" : L"\tFAIL"));
        allOk = allOk && ok;
    }
};

VARIANT Position(long i) {
    VARIANT position;
    VariantInit(&position);
    position.vt = VT_I4;
    position.lVal = i;
    return position;
}

int Answers() {
    HMODULE server = LoadLibraryW(L"shellwindows_stand_in.dll");
    auto canUnload = server ? reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
                                  reinterpret_cast<void*>(GetProcAddress(server, "DllCanUnloadNow")))
                            : nullptr;
    if (!canUnload) return e2e::Fail(L"no DllCanUnloadNow in the stand-in", e2e::kExitNo);
    Checks c;
    {
        Ref<IClassFactory> factory;
        if (FAILED(CoGetClassObject(CLSID_ShellWindows, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                                    factory.Out())))
            return e2e::Fail(L"no class factory", e2e::kExitNo);
        void* aggregate = &aggregate;
        c.Check(L"aggregation refused",
                factory.p->CreateInstance(factory.p, IID_IUnknown, &aggregate) == CLASS_E_NOAGGREGATION &&
                    aggregate == nullptr);
        Ref<IShellWindows> windows;
        if (FAILED(factory.p->CreateInstance(nullptr, IID_IShellWindows, windows.Out())))
            return e2e::Fail(L"no collection", e2e::kExitNo);
        c.Check(L"in use while held", canUnload() == S_FALSE);

        Ref<IUnknown> one, two;
        windows.p->QueryInterface(IID_IUnknown, one.Out());
        windows.p->QueryInterface(IID_IUnknown, two.Out());
        c.Check(L"one identity", one.p != nullptr && one.p == two.p);
        void* none = &none;
        c.Check(L"unknown interface", windows.p->QueryInterface(IID_IWebBrowser2, &none) == E_NOINTERFACE &&
                                          none == nullptr);

        long count = 0;
        c.Check(L"count", SUCCEEDED(windows.p->get_Count(&count)) && count == 2);
        for (long outside : {2L, -1L}) {
            IDispatch* item = reinterpret_cast<IDispatch*>(&item);
            c.Check(L"outside position", windows.p->Item(Position(outside), &item) == S_FALSE && item == nullptr);
        }

        Ref<IDispatch> first;
        windows.p->Item(Position(0), &first.p);
        Ref<IWebBrowser2> folderWindow;
        c.Check(L"browser", first.p && SUCCEEDED(first.p->QueryInterface(IID_IWebBrowser2, folderWindow.Out())));
        if (!folderWindow.p) return e2e::Fail(L"no browser", e2e::kExitNo);
        c.Check(L"reference count", folderWindow.p->AddRef() == 3 && folderWindow.p->Release() == 2);

        Ref<IDispatch> second, page;
        windows.p->Item(Position(1), &second.p);
        Ref<IWebBrowser2> webWindow;
        if (second.p) second.p->QueryInterface(IID_IWebBrowser2, webWindow.Out());
        c.Check(L"page document", webWindow.p && SUCCEEDED(webWindow.p->get_Document(&page.p)) && page.p);
        void* view = &view;
        c.Check(L"page is no folder view",
                page.p && page.p->QueryInterface(IID_IShellFolderViewDual, &view) == E_NOINTERFACE && view == nullptr);

        c.Check(L"quit", folderWindow.p->Quit() == S_OK && folderWindow.p->Quit() == S_OK);
        c.Check(L"path of the quit window", PathOf(first.p) == L"E:\\a");
        Ref<IDispatch> again;
        c.Check(L"still there until counted", SUCCEEDED(windows.p->Item(Position(0), &again.p)) &&
                                                  PathOf(again.p) == L"E:\\a");
        c.Check(L"gone when counted", SUCCEEDED(windows.p->get_Count(&count)) && count == 1);
        Ref<IDispatch> moved;
        c.Check(L"next window moves up", SUCCEEDED(windows.p->Item(Position(0), &moved.p)) &&
                                             PathOf(moved.p) == L"(no folder view)");
    }
    c.Check(L"unloadable when all released", canUnload() == S_OK);
    FreeLibrary(server);
    return c.allOk ? e2e::kExitOk : e2e::kExitNo;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const e2e::Args args(argc, argv, {});
    const wchar_t* usage = L"usage: shellstate.exe drives|devices|windows|answers";
    if (args.words.size() != 1) return e2e::Fail(usage);
    const std::wstring& mode = args.words[0];
    if (mode == L"drives") return Drives();
    if (mode == L"devices") return Devices();
    if (mode != L"windows" && mode != L"answers") return e2e::Fail(usage);
    if (FAILED(CoInitialize(nullptr))) return e2e::Fail(L"CoInitialize failed", e2e::kExitNo);
    const int status = mode == L"windows" ? Windows() : Answers();
    CoUninitialize();
    return status;
}
