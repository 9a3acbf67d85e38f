#include "StandInTree.h"

#include <cwchar>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "EnvironmentValue.h"

namespace stand_in {

namespace {

CRITICAL_SECTION g_lock;
SimulatedDeviceTree* g_tree = nullptr;  // made at the first call, not in DllMain

// TOLLEVANE_VANISH "calls:line,line...": those nodes are unplugged once the process has
// made that many calls (SimulatedDeviceTree::VanishAfter).
void ArmVanishing(SimulatedDeviceTree& tree) {
  const std::wstring fault = EnvironmentValue(L"TOLLEVANE_VANISH");
  const std::size_t colon = fault.find(L':');
  if (colon == std::wstring::npos) return;
  std::vector<DevNode> nodes;
  for (const wchar_t* at = fault.c_str() + colon + 1; *at != L'\0';) {
    wchar_t* end = nullptr;
    nodes.push_back(static_cast<DevNode>(std::wcstoul(at, &end, 10)));
    at = *end == L',' ? end + 1 : (*end == L'\0' ? end : L"");
  }
  tree.VanishAfter(std::wcstoul(fault.c_str(), nullptr, 10), std::move(nodes));
}

SimulatedDeviceTree* MakeTree() {
  const std::wstring file = EnvironmentValue(L"TOLLEVANE_DEVICE_TREE");
  if (file.empty()) return new SimulatedDeviceTree(EmptySimulatedTree());
  const std::wstring log = EnvironmentValue(L"TOLLEVANE_EJECT_LOG");
  auto* tree =
      new SimulatedDeviceTree(file, log.empty() ? std::nullopt : std::optional<NativePath>(log));
  ArmVanishing(*tree);
  return tree;
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
