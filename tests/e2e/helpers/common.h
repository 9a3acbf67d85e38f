// What the end-to-end helper programs share: argument handling, UTF-8 output for
// the Python harness, key-combination names and reading other processes' windows.
#pragma once

#include <windows.h>
#include <tlhelp32.h>

#include <cwchar>
#include <cwctype>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

// The harness reads the exit status: 0 yes/done, 1 no/not found/timed out, 2 misuse.
// A non-zero end always writes a line saying why: the harness takes a silent one
// for Wine having failed to start the helper, and runs it again.
constexpr int kExitOk = 0;
constexpr int kExitNo = 1;
constexpr int kExitUsage = 2;

// Another process's window may hang; never wait for it longer than this.
constexpr UINT kSendTimeoutMs = 2000;

inline std::string Utf8(const std::wstring& text) {
    if (text.empty()) return {};
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string bytes(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), bytes.data(), size,
                        nullptr, nullptr);
    return bytes;
}

// Raw UTF-8 bytes: under Wine stdout is a Unix pipe, and the console code page
// (932 in a Japanese prefix) would mangle everything else.
inline void WriteTo(DWORD which, const std::wstring& line) {
    const std::string bytes = Utf8(line + L"\n");
    DWORD written = 0;
    WriteFile(GetStdHandle(which), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}
inline void Out(const std::wstring& line) { WriteTo(STD_OUTPUT_HANDLE, line); }
inline int Fail(const std::wstring& line, int status = kExitUsage) {
    WriteTo(STD_ERROR_HANDLE, line);
    return status;
}

// One record per line, fields split by tabs: keep texts on their line.
inline std::wstring Escape(const std::wstring& text) {
    std::wstring result;
    for (wchar_t c : text) {
        switch (c) {
            case L'\\': result += L"\\\\"; break;
            case L'\t': result += L"\\t"; break;
            case L'\n': result += L"\\n"; break;
            case L'\r': result += L"\\r"; break;
            default: result += c;
        }
    }
    return result;
}

inline std::wstring Lower(std::wstring text) {
    for (auto& c : text) c = static_cast<wchar_t>(std::towlower(c));
    return text;
}

inline std::wstring HandleText(HWND hwnd) {
    wchar_t buffer[32];
    swprintf(buffer, 32, L"0x%08lX", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(hwnd)));
    return buffer;
}

inline std::optional<HWND> ParseHandle(const wchar_t* text) {
    wchar_t* end = nullptr;
    const unsigned long value = std::wcstoul(text, &end, 0);
    if (end == text || *end != L'\0' || value == 0) return std::nullopt;
    return reinterpret_cast<HWND>(static_cast<UINT_PTR>(value));
}

inline std::optional<long> ParseNumber(const wchar_t* text) {
    wchar_t* end = nullptr;
    const long value = std::wcstol(text, &end, 0);
    if (end == text || *end != L'\0') return std::nullopt;
    return value;
}

// "--name value" options and plain words, in the order given.
struct Args {
    std::vector<std::pair<std::wstring, std::wstring>> options;
    std::vector<std::wstring> flags;
    std::vector<std::wstring> words;

    // Options listed in withValue take the next argument; other "--x" are flags.
    Args(int argc, wchar_t** argv, std::initializer_list<const wchar_t*> withValue) {
        for (int i = 1; i < argc; ++i) {
            const std::wstring arg = argv[i];
            bool takesValue = false;
            for (const wchar_t* name : withValue) takesValue = takesValue || arg == name;
            if (takesValue && i + 1 < argc) {
                options.emplace_back(arg, argv[++i]);
            } else if (arg.size() > 2 && arg.compare(0, 2, L"--") == 0) {
                flags.push_back(arg);
            } else {
                words.push_back(arg);
            }
        }
    }
    std::optional<std::wstring> Get(const wchar_t* name) const {
        for (const auto& [key, value] : options)
            if (key == name) return value;
        return std::nullopt;
    }
    bool Has(const wchar_t* flag) const {
        for (const auto& f : flags)
            if (f == flag) return true;
        return false;
    }
    DWORD TimeoutMs(DWORD fallback) const {
        const auto text = Get(L"--timeout");
        if (!text) return fallback;
        const auto value = ParseNumber(text->c_str());
        return value && *value >= 0 ? static_cast<DWORD>(*value) : fallback;
    }
};

// WM_GETTEXT rather than GetWindowTextW: the latter does not ask controls of
// other processes, and a message box's text lives in such a control.
inline std::wstring WindowText(HWND hwnd) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &length))
        return {};
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied))
        return {};
    text.resize(static_cast<size_t>(copied));
    return text;
}

inline std::wstring ClassName(HWND hwnd) {
    wchar_t buffer[256] = {};
    GetClassNameW(hwnd, buffer, 256);
    return buffer;
}

inline BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(hwnd);
    return TRUE;
}

inline std::vector<HWND> TopLevelWindows() {
    std::vector<HWND> windows;
    EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

inline std::vector<HWND> ChildWindows(HWND parent) {
    std::vector<HWND> windows;
    EnumChildWindows(parent, CollectWindow, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// Image file name of the process that owns a window, without its folder.
inline std::wstring ProcessName(DWORD pid) {
    HANDLE process = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid);
    if (!process) return {};
    wchar_t path[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    std::wstring name;
    if (QueryFullProcessImageNameW(process, 0, path, &size)) {
        name = path;
        const auto slash = name.find_last_of(L"\\/");
        if (slash != std::wstring::npos) name.erase(0, slash + 1);
    }
    CloseHandle(process);
    return name;
}

// The first running process with that image file name (compared without regard to case).
inline std::optional<DWORD> FindProcessId(const std::wstring& image) {
    const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return std::nullopt;
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    std::optional<DWORD> found;
    for (BOOL more = Process32FirstW(snapshot, &entry); more && !found;
         more = Process32NextW(snapshot, &entry)) {
        if (lstrcmpiW(entry.szExeFile, image.c_str()) == 0) found = entry.th32ProcessID;
    }
    CloseHandle(snapshot);
    return found;
}

struct Combo {
    UINT modifiers = 0;  // MOD_* bits, as RegisterHotKey takes them
    UINT vk = 0;
};

// Names of keys other than letters, digits and F1-F24.
inline UINT NamedKey(const std::wstring& name) {
    static const struct {
        const wchar_t* name;
        UINT vk;
    } kKeys[] = {
        {L"esc", VK_ESCAPE},   {L"escape", VK_ESCAPE}, {L"enter", VK_RETURN},  {L"return", VK_RETURN},
        {L"space", VK_SPACE},  {L"tab", VK_TAB},       {L"backspace", VK_BACK}, {L"delete", VK_DELETE},
        {L"del", VK_DELETE},   {L"insert", VK_INSERT}, {L"ins", VK_INSERT},   {L"home", VK_HOME},
        {L"end", VK_END},      {L"pgup", VK_PRIOR},    {L"pageup", VK_PRIOR}, {L"pgdn", VK_NEXT},
        {L"pagedown", VK_NEXT}, {L"up", VK_UP},        {L"down", VK_DOWN},    {L"left", VK_LEFT},
        {L"right", VK_RIGHT},  {L"pause", VK_PAUSE},   {L"scroll", VK_SCROLL}, {L"apps", VK_APPS},
    };
    for (const auto& key : kKeys)
        if (name == key.name) return key.vk;
    return 0;
}

inline std::optional<UINT> KeyCode(const std::wstring& name) {
    if (name.size() == 1 && (std::iswalpha(name[0]) || std::iswdigit(name[0])))
        return static_cast<UINT>(std::towupper(name[0]));
    if (name.size() >= 2 && name[0] == L'f' && std::iswdigit(name[1])) {
        const auto n = ParseNumber(name.c_str() + 1);
        if (n && *n >= 1 && *n <= 24) return VK_F1 + static_cast<UINT>(*n - 1);
        return std::nullopt;
    }
    if (name.size() == 7 && name.rfind(L"numpad", 0) == 0 && std::iswdigit(name[6]))
        return VK_NUMPAD0 + static_cast<UINT>(name[6] - L'0');
    if (name.rfind(L"0x", 0) == 0) {
        // 0x00 too: a hotkey code of 0 is what a mistaken registration would hold.
        const auto n = ParseNumber(name.c_str());
        if (n && *n >= 0 && *n <= 0xFE) return static_cast<UINT>(*n);
        return std::nullopt;
    }
    if (const UINT vk = NamedKey(name); vk != 0) return vk;
    return std::nullopt;
}

// "ctrl+alt+f5", "win+shift+a", "ctrl+0x41": modifiers, then exactly one key.
inline std::optional<Combo> ParseCombo(const std::wstring& text) {
    std::vector<std::wstring> parts;
    const std::wstring lower = Lower(text);
    for (size_t start = 0;;) {
        const size_t plus = lower.find(L'+', start);
        parts.push_back(lower.substr(start, plus == std::wstring::npos ? plus : plus - start));
        if (plus == std::wstring::npos) break;
        start = plus + 1;
    }
    Combo combo;
    for (size_t i = 0; i + 1 < parts.size(); ++i) {
        if (parts[i] == L"ctrl" || parts[i] == L"control") combo.modifiers |= MOD_CONTROL;
        else if (parts[i] == L"alt") combo.modifiers |= MOD_ALT;
        else if (parts[i] == L"shift") combo.modifiers |= MOD_SHIFT;
        else if (parts[i] == L"win") combo.modifiers |= MOD_WIN;
        else return std::nullopt;
    }
    const auto vk = KeyCode(parts.back());
    if (!vk) return std::nullopt;
    combo.vk = *vk;
    return combo;
}

// Finds a top-level window by exact title and/or class; either may be left out.
inline HWND FindTopLevel(const std::optional<std::wstring>& title,
                         const std::optional<std::wstring>& className, bool visibleOnly) {
    for (HWND hwnd : TopLevelWindows()) {
        if (visibleOnly && !IsWindowVisible(hwnd)) continue;
        if (className && ClassName(hwnd) != *className) continue;
        if (title && WindowText(hwnd) != *title) continue;
        return hwnd;
    }
    return nullptr;
}

// Polls rather than hooks: the window belongs to another process.
template <typename Condition>
bool WaitFor(DWORD timeoutMs, Condition condition) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (GetTickCount() - start >= timeoutMs) return false;
        Sleep(50);
    }
}

}  // namespace e2e
