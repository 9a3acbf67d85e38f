// devquery.exe ID | interfaces: the Configuration Manager and SetupAPI answers about
// the device tree, as a program that loads the system's setupapi.dll gets them (in a
// test prefix: the device stand-in, reading TOLLEVANE_DEVICE_TREE).
//   ID          "id", "service", "hwids" (with "multi" when REG_MULTI_SZ), "removes" and
//               "children" lines for the node of that instance ID, and "small" with the
//               result of reading its ID into a buffer one unit too short; "status" (hex),
//               "caps" (hex), "policy", "enumerator" and "address" ("-" when it has none)
//   interfaces  one line per disk, then CD-ROM, interface: "disk" or "cdrom", tab, the
//               device path, tab, the instance ID of its device
// Each value list is joined with ';'. Exit 1 when the node is not present.
#include <windows.h>
// windows.h first: the SetupAPI headers rely on its types.
#include <cfgmgr32.h>
#include <setupapi.h>

#include <cstddef>
#include <vector>

#include "common.h"

namespace {

struct Api {
  decltype(&::CM_Locate_DevNodeW) locate = nullptr;
  decltype(&::CM_Get_Device_ID_Size) idSize = nullptr;
  decltype(&::CM_Get_Device_IDW) id = nullptr;
  decltype(&::CM_Get_DevNode_Registry_PropertyW) property = nullptr;
  decltype(&::CM_Get_DevNode_Status) status = nullptr;
  decltype(&::CM_Get_Device_ID_List_SizeW) listSize = nullptr;
  decltype(&::CM_Get_Device_ID_ListW) list = nullptr;
  decltype(&::SetupDiGetClassDevsW) classDevs = nullptr;
  decltype(&::SetupDiEnumDeviceInterfaces) enumInterfaces = nullptr;
  decltype(&::SetupDiGetDeviceInterfaceDetailW) detail = nullptr;
  decltype(&::SetupDiDestroyDeviceInfoList) destroy = nullptr;
};

template <typename F>
void Bind(HMODULE module, F& target, const char* name) {
  target = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

bool Load(Api& api) {
  wchar_t system[MAX_PATH];
  const UINT length = GetSystemDirectoryW(system, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return false;
  const HMODULE module = LoadLibraryW((std::wstring(system) + L"\\setupapi.dll").c_str());
  if (module == nullptr) return false;
  Bind(module, api.locate, "CM_Locate_DevNodeW");
  Bind(module, api.idSize, "CM_Get_Device_ID_Size");
  Bind(module, api.id, "CM_Get_Device_IDW");
  Bind(module, api.property, "CM_Get_DevNode_Registry_PropertyW");
  Bind(module, api.status, "CM_Get_DevNode_Status");
  Bind(module, api.listSize, "CM_Get_Device_ID_List_SizeW");
  Bind(module, api.list, "CM_Get_Device_ID_ListW");
  Bind(module, api.classDevs, "SetupDiGetClassDevsW");
  Bind(module, api.enumInterfaces, "SetupDiEnumDeviceInterfaces");
  Bind(module, api.detail, "SetupDiGetDeviceInterfaceDetailW");
  Bind(module, api.destroy, "SetupDiDestroyDeviceInfoList");
  return api.locate && api.idSize && api.id && api.property && api.status && api.listSize &&
         api.list &&
         api.classDevs && api.enumInterfaces && api.detail && api.destroy;
}

// A NUL-separated list ending in an empty item, joined with ';'.
std::wstring Joined(const wchar_t* items, std::size_t units) {
  std::wstring joined;
  for (std::size_t at = 0; at < units && items[at] != L'\0';) {
    const std::wstring item(items + at);
    if (!joined.empty()) joined += L';';
    joined += item;
    at += item.size() + 1;
  }
  return joined;
}

std::wstring IdOf(const Api& api, DEVINST node) {
  ULONG size = 0;
  if (api.idSize(&size, node, 0) != CR_SUCCESS) return L"?";
  std::vector<wchar_t> id(size + 1);
  if (api.id(node, id.data(), size + 1, 0) != CR_SUCCESS) return L"?";
  return id.data();
}

std::wstring Relations(const Api& api, const std::wstring& id, ULONG filter) {
  ULONG size = 0;
  if (api.listSize(&size, id.c_str(), filter) != CR_SUCCESS) return L"?";
  std::vector<wchar_t> list(size);
  if (api.list(id.c_str(), list.data(), size, filter) != CR_SUCCESS) return L"?";
  return Joined(list.data(), list.size());
}

std::wstring Property(const Api& api, DEVINST node, ULONG which) {
  ULONG type = 0;
  ULONG bytes = 0;
  if (api.property(node, which, &type, nullptr, &bytes, 0) != CR_BUFFER_SMALL) return L"-";
  std::vector<wchar_t> value(bytes / sizeof(wchar_t) + 1);
  if (api.property(node, which, &type, value.data(), &bytes, 0) != CR_SUCCESS) return L"?";
  const std::wstring text = Joined(value.data(), bytes / sizeof(wchar_t));
  return type == REG_MULTI_SZ ? text + L"\tmulti" : text;
}

std::wstring Hex(ULONG value) {
  std::wstring text(8, L'0');
  for (int at = 7; at >= 0; --at, value >>= 4) text[at] = L"0123456789ABCDEF"[value & 0xF];
  return text;
}

// A REG_DWORD property; "-" when the node has none.
std::wstring Number(const Api& api, DEVINST node, ULONG which, bool hex) {
  ULONG type = 0;
  ULONG value = 0;
  ULONG bytes = sizeof(value);
  if (api.property(node, which, &type, &value, &bytes, 0) != CR_SUCCESS) return L"-";
  if (type != REG_DWORD || bytes != sizeof(value)) return L"?";
  return hex ? Hex(value) : std::to_wstring(value);
}

int Node(const Api& api, const std::wstring& wanted) {
  DEVINST node = 0;
  std::wstring id = wanted;
  if (api.locate(&node, id.data(), CM_LOCATE_DEVNODE_NORMAL) != CR_SUCCESS)
    return e2e::Fail(L"not present: " + wanted, e2e::kExitNo);
  const std::wstring own = IdOf(api, node);
  e2e::Out(L"id\t" + own);
  e2e::Out(L"service\t" + Property(api, node, CM_DRP_SERVICE));
  e2e::Out(L"hwids\t" + Property(api, node, CM_DRP_HARDWAREID));
  e2e::Out(L"removes\t" + Relations(api, own, CM_GETIDLIST_FILTER_REMOVALRELATIONS));
  e2e::Out(L"children\t" + Relations(api, own, CM_GETIDLIST_FILTER_BUSRELATIONS));
  std::vector<wchar_t> shortBuffer(own.size());
  e2e::Out(L"small\t" +
           std::to_wstring(api.id(node, shortBuffer.data(), static_cast<ULONG>(own.size()), 0)));
  ULONG status = 0;
  ULONG problem = 0;
  e2e::Out(L"status\t" +
           (api.status(&status, &problem, node, 0) == CR_SUCCESS ? Hex(status) : L"?"));
  e2e::Out(L"caps\t" + Number(api, node, CM_DRP_CAPABILITIES, true));
  e2e::Out(L"policy\t" + Number(api, node, CM_DRP_REMOVAL_POLICY, false));
  e2e::Out(L"enumerator\t" + Property(api, node, CM_DRP_ENUMERATOR_NAME));
  e2e::Out(L"address\t" + Number(api, node, CM_DRP_ADDRESS, false));
  return e2e::kExitOk;
}

void Interfaces(const Api& api, const GUID& kind, const wchar_t* name) {
  const HDEVINFO set = api.classDevs(&kind, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
  if (set == INVALID_HANDLE_VALUE) return;
  SP_DEVICE_INTERFACE_DATA found{};
  found.cbSize = sizeof(found);
  for (DWORD index = 0; api.enumInterfaces(set, nullptr, &kind, index, &found); ++index) {
    DWORD required = 0;
    api.detail(set, &found, nullptr, 0, &required, nullptr);
    std::vector<DWORD> storage(required / sizeof(DWORD) + 1);
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(storage.data());
    detail->cbSize = sizeof(*detail);
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof(device);
    if (!api.detail(set, &found, detail, required, nullptr, &device)) continue;
    e2e::Out(std::wstring(name) + L"\t" + detail->DevicePath + L"\t" + IdOf(api, device.DevInst));
  }
  api.destroy(set);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) return e2e::Fail(L"usage: devquery ID | interfaces");
  Api api;
  if (!Load(api)) return e2e::Fail(L"setupapi.dll lacks the functions", e2e::kExitNo);
  if (std::wstring(argv[1]) != L"interfaces") return Node(api, argv[1]);
  const GUID disk{0x53F56307, 0xB6BF, 0x11D0, {0x94, 0xF2, 0x00, 0xA0, 0xC9, 0x1E, 0xFB, 0x8B}};
  const GUID cdrom{0x53F56308, 0xB6BF, 0x11D0, {0x94, 0xF2, 0x00, 0xA0, 0xC9, 0x1E, 0xFB, 0x8B}};
  Interfaces(api, disk, L"disk");
  Interfaces(api, cdrom, L"cdrom");
  return e2e::kExitOk;
}
