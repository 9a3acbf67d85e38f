#include "StandInTree.h"

#include <memory>
#include <optional>
#include <string>

#include "EnvironmentValue.h"

namespace stand_in {

namespace {

CRITICAL_SECTION g_lock;
SimulatedDeviceTree* g_tree = nullptr;  // made at the first call, not in DllMain

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
