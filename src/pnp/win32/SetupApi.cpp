#include "pnp/win32/SetupApi.h"

#include "common/win32/SystemLibrary.h"

namespace {

template <typename Function>
void Bind(HMODULE module, Function& target, const char* name) {
  target = win32::SystemFunction<Function>(module, name);
}

SetupApiFunctions Load() {
  SetupApiFunctions f;
  HMODULE module = win32::LoadSystemLibrary(L"setupapi.dll");
  if (module == nullptr) return f;
  Bind(module, f.getChild, "CM_Get_Child");
  Bind(module, f.getSibling, "CM_Get_Sibling");
  Bind(module, f.getParent, "CM_Get_Parent");
  Bind(module, f.getDevNodeStatus, "CM_Get_DevNode_Status");
  Bind(module, f.getDevNodeRegistryProperty, "CM_Get_DevNode_Registry_PropertyW");
  Bind(module, f.requestDeviceEject, "CM_Request_Device_EjectW");
  Bind(module, f.getDeviceId, "CM_Get_Device_IDW");
  Bind(module, f.getClassDevs, "SetupDiGetClassDevsW");
  Bind(module, f.enumDeviceInfo, "SetupDiEnumDeviceInfo");
  Bind(module, f.destroyDeviceInfoList, "SetupDiDestroyDeviceInfoList");
  Bind(module, f.enumDeviceInterfaces, "SetupDiEnumDeviceInterfaces");
  Bind(module, f.getDeviceInterfaceDetail, "SetupDiGetDeviceInterfaceDetailW");
  Bind(module, f.getClassImageList, "SetupDiGetClassImageList");
  Bind(module, f.getClassImageIndex, "SetupDiGetClassImageIndex");
  Bind(module, f.destroyClassImageList, "SetupDiDestroyClassImageList");
  return f;
}

}  // namespace

const SetupApiFunctions& SetupApi() {
  // Thread-safe once: the removal worker and the sheet may be first at the same time.
  static const SetupApiFunctions functions = Load();
  return functions;
}
