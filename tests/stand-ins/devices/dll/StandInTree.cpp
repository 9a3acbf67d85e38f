#include "StandInTree.h"

#include <memory>
#include <optional>
#include <string>

namespace stand_in {

namespace {

CRITICAL_SECTION g_lock;
SimulatedDeviceTree* g_tree = nullptr;  // made at the first call, not in DllMain

std::wstring EnvironmentValue(const wchar_t* name) {
  const DWORD needed = ::GetEnvironmentVariableW(name, nullptr, 0);
  if (needed == 0) return {};
  std::wstring value(needed, L'\0');
  const DWORD written = ::GetEnvironmentVariableW(name, value.data(), needed);
  if (written == 0 || written >= needed) return {};
  value.resize(written);
  return value;
}

SimulatedDeviceTree* MakeTree() {
  const std::wstring file = EnvironmentValue(L"TOLLEVANE_DEVICE_TREE");
  if (file.empty()) return new SimulatedDeviceTree(EmptySimulatedTree());
  const std::wstring log = EnvironmentValue(L"TOLLEVANE_EJECT_LOG");
  return new SimulatedDeviceTree(file, log.empty() ? std::nullopt : std::optional<NativePath>(log));
}

}  // namespace

TreeAccess::TreeAccess() {
  ::EnterCriticalSection(&g_lock);
  if (g_tree == nullptr) g_tree = MakeTree();
  tree_ = g_tree;
}

TreeAccess::~TreeAccess() { ::LeaveCriticalSection(&g_lock); }

void StartTree() { ::InitializeCriticalSection(&g_lock); }

void EndTree() {
  delete g_tree;
  g_tree = nullptr;
  ::DeleteCriticalSection(&g_lock);
}

}  // namespace stand_in

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
  if (reason == DLL_PROCESS_ATTACH) {
    ::DisableThreadLibraryCalls(instance);
    stand_in::StartTree();
  } else if (reason == DLL_PROCESS_DETACH && reserved == nullptr) {
    // At process exit (reserved non-null) other threads are gone mid-call: leave all.
    stand_in::EndTree();
  }
  return TRUE;
}
