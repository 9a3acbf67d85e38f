// listview.exe HWND: one line per row of another process's list view, tab-separated:
// index, selected (0/1), cut (0/1), then the text of every column.
// listview.exe HWND --select N: selects and focuses row N alone (-1: none), as a
// click would, so that the owner receives LVN_ITEMCHANGED.
// listview.exe HWND --images: one line per row, its small picture's index and its text;
// fails when the list has no small image list to draw them from.
// The items live in the other process: the structures and text buffers are placed
// there, so this helper must have the bitness of the program it reads.
#include "common.h"

#include <commctrl.h>

namespace {

constexpr int kTextUnits = 1024;

// LVITEMW and its text buffer in the list view's process.
class RemoteItem {
 public:
    explicit RemoteItem(HWND list) {
        DWORD pid = 0;
        GetWindowThreadProcessId(list, &pid);
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process_)
            memory_ = VirtualAllocEx(process_, nullptr, sizeof(LVITEMW) + kTextUnits * sizeof(wchar_t),
                                     MEM_COMMIT, PAGE_READWRITE);
    }
    ~RemoteItem() {
        if (memory_) VirtualFreeEx(process_, memory_, 0, MEM_RELEASE);
        if (process_) CloseHandle(process_);
    }
    RemoteItem(const RemoteItem&) = delete;
    RemoteItem& operator=(const RemoteItem&) = delete;

    bool ok() const { return memory_ != nullptr; }
    LPARAM item() const { return reinterpret_cast<LPARAM>(memory_); }
    wchar_t* text() const {
        return reinterpret_cast<wchar_t*>(static_cast<char*>(memory_) + sizeof(LVITEMW));
    }
    bool Write(const LVITEMW& item) const {
        return WriteProcessMemory(process_, memory_, &item, sizeof(item), nullptr) != FALSE;
    }
    bool Read(LVITEMW& item) const {
        return ReadProcessMemory(process_, memory_, &item, sizeof(item), nullptr) != FALSE;
    }
    std::wstring ReadText() const {
        std::wstring buffer(kTextUnits, L'\0');
        if (!ReadProcessMemory(process_, text(), buffer.data(), kTextUnits * sizeof(wchar_t), nullptr))
            return {};
        buffer.resize(wcsnlen(buffer.c_str(), kTextUnits));
        return buffer;
    }

 private:
    HANDLE process_ = nullptr;
    void* memory_ = nullptr;
};

LRESULT Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG, e2e::kSendTimeoutMs, &result))
        return -1;
    return static_cast<LRESULT>(result);
}

int Print(HWND list, RemoteItem& remote) {
    const auto header = reinterpret_cast<HWND>(Send(list, LVM_GETHEADER, 0, 0));
    const LRESULT columns = header ? Send(header, HDM_GETITEMCOUNT, 0, 0) : 1;
    const LRESULT count = Send(list, LVM_GETITEMCOUNT, 0, 0);
    if (count < 0 || columns < 0) return e2e::Fail(L"listview: the list does not answer", e2e::kExitNo);
    for (LRESULT row = 0; row < count; ++row) {
        const LRESULT state = Send(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_SELECTED | LVIS_CUT);
        std::wstring line = std::to_wstring(row) + L"\t" + ((state & LVIS_SELECTED) ? L"1" : L"0") + L"\t" +
                            ((state & LVIS_CUT) ? L"1" : L"0");
        for (LRESULT column = 0; column < columns; ++column) {
            LVITEMW item = {};
            item.iSubItem = static_cast<int>(column);
            item.pszText = remote.text();
            item.cchTextMax = kTextUnits;
            if (!remote.Write(item)) return e2e::Fail(L"listview: cannot write to the process", e2e::kExitNo);
            Send(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), remote.item());
            line += L"\t" + e2e::Escape(remote.ReadText());
        }
        e2e::Out(line);
    }
    return e2e::kExitOk;
}

int PrintImages(HWND list, RemoteItem& remote) {
    if (Send(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0) <= 0)
        return e2e::Fail(L"listview: the list has no small image list", e2e::kExitNo);
    const LRESULT count = Send(list, LVM_GETITEMCOUNT, 0, 0);
    for (LRESULT row = 0; row < count; ++row) {
        LVITEMW item = {};
        item.mask = LVIF_IMAGE | LVIF_TEXT;
        item.iItem = static_cast<int>(row);
        item.pszText = remote.text();
        item.cchTextMax = kTextUnits;
        if (!remote.Write(item) || Send(list, LVM_GETITEMW, 0, remote.item()) != TRUE || !remote.Read(item))
            return e2e::Fail(L"listview: cannot read row " + std::to_wstring(row), e2e::kExitNo);
        e2e::Out(std::to_wstring(item.iImage) + L"\t" + e2e::Escape(remote.ReadText()));
    }
    return e2e::kExitOk;
}

int Select(HWND list, RemoteItem& remote, long row) {
    LVITEMW item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = 0;
    if (!remote.Write(item)) return e2e::Fail(L"listview: cannot write to the process", e2e::kExitNo);
    Send(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), remote.item());
    if (row < 0) return e2e::kExitOk;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    if (!remote.Write(item)) return e2e::Fail(L"listview: cannot write to the process", e2e::kExitNo);
    if (Send(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), remote.item()) != TRUE)
        return e2e::Fail(L"listview: no such row", e2e::kExitNo);
    Send(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
    return e2e::kExitOk;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const e2e::Args args(argc, argv, {L"--select"});
    if (args.words.size() != 1) return e2e::Fail(L"usage: listview.exe HWND [--select N | --images]");
    const auto list = e2e::ParseHandle(args.words[0].c_str());
    if (!list) return e2e::Fail(L"listview: bad handle " + args.words[0]);
    if (!IsWindow(*list)) return e2e::Fail(L"listview: no such window", e2e::kExitNo);
    RemoteItem remote(*list);
    if (!remote.ok()) return e2e::Fail(L"listview: cannot reach the list's process", e2e::kExitNo);
    if (const auto select = args.Get(L"--select")) {
        const auto row = e2e::ParseNumber(select->c_str());
        if (!row) return e2e::Fail(L"listview: bad row " + *select);
        return Select(*list, remote, *row);
    }
    if (args.Has(L"--images")) return PrintImages(*list, remote);
    return Print(*list, remote);
}
