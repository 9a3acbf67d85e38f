// procstats.exe IMAGE: what Windows tells another program about the running process of
// that image name (Tollevane.exe, say), as one line of tab-separated fields:
//   pid  handles  system-handles  gdi-objects  user-objects  private-bytes  working-set-bytes
// handles is GetProcessHandleCount; system-handles counts the process's entries in the
// system's handle table (NtQuerySystemInformation), which Wine fills where it answers
// the former with 0. A field the system does not give is "-". Exit 1 when no such
// process runs.
#include "common.h"

#include <psapi.h>

#include <algorithm>

namespace {

// The layout of SystemHandleInformation (class 16), which winternl.h leaves out.
struct HandleEntry {
    ULONG ownerPid;
    BYTE objectType;
    BYTE flags;
    USHORT handle;
    PVOID object;
    ACCESS_MASK access;
};
struct HandleTable {
    ULONG count;
    HandleEntry entries[1];
};

std::optional<unsigned long long> SystemHandleCount(DWORD pid) {
    using Query = LONG(WINAPI*)(ULONG, PVOID, ULONG, PULONG);
    const auto query = reinterpret_cast<Query>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (query == nullptr) return std::nullopt;
    constexpr LONG kLengthMismatch = static_cast<LONG>(0xC0000004);
    std::vector<BYTE> buffer(1 << 16);
    for (;;) {
        ULONG needed = 0;
        const LONG status = query(16, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (status == kLengthMismatch && buffer.size() < (1u << 28)) {
            buffer.resize(std::max<size_t>(buffer.size() * 2, needed));
            continue;
        }
        if (status < 0) return std::nullopt;
        break;
    }
    const auto* table = reinterpret_cast<const HandleTable*>(buffer.data());
    unsigned long long count = 0;
    for (ULONG i = 0; i < table->count; ++i)
        if (table->entries[i].ownerPid == pid) ++count;
    return count;
}

std::wstring Field(bool known, unsigned long long value) {
    return known ? std::to_wstring(value) : L"-";
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    const e2e::Args args(argc, argv, {});
    if (args.words.size() != 1) return e2e::Fail(L"usage: procstats.exe IMAGE");
    const auto pid = e2e::FindProcessId(args.words[0]);
    if (!pid) return e2e::Fail(L"no such process", e2e::kExitNo);
    const HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, *pid);
    if (process == nullptr) return e2e::Fail(L"OpenProcess failed", e2e::kExitNo);

    DWORD handles = 0;
    const bool handlesKnown = GetProcessHandleCount(process, &handles) != 0;
    const auto systemHandles = SystemHandleCount(*pid);
    const DWORD gdi = GetGuiResources(process, GR_GDIOBJECTS);
    const DWORD user = GetGuiResources(process, GR_USEROBJECTS);
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    const bool memoryKnown = GetProcessMemoryInfo(
        process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory) != 0;
    CloseHandle(process);

    e2e::Out(std::to_wstring(*pid) + L"\t" + Field(handlesKnown, handles) + L"\t" +
             Field(systemHandles.has_value(), systemHandles.value_or(0)) + L"\t" +
             std::to_wstring(gdi) + L"\t" + std::to_wstring(user) + L"\t" +
             Field(memoryKnown, memory.PrivateUsage) + L"\t" +
             Field(memoryKnown, memory.WorkingSetSize));
    return e2e::kExitOk;
}
