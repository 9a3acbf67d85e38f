// The Configuration Manager and SetupAPI functions the program calls, reached through
// setupapi.dll loaded by its full path in the system folder: imported statically, a
// setupapi.dll planted beside the program would be loaded, and run, before the program
// could refuse it wherever setupapi is not one of the system's known DLLs.
#pragma once

#include <windows.h>
// windows.h first: the SetupAPI headers rely on its types.
#include <cfgmgr32.h>
#include <setupapi.h>

struct SetupApiFunctions {
  decltype(&::CM_Get_Child) getChild = nullptr;
  decltype(&::CM_Get_Sibling) getSibling = nullptr;
  decltype(&::CM_Get_Parent) getParent = nullptr;
  decltype(&::CM_Get_DevNode_Status) getDevNodeStatus = nullptr;
  decltype(&::CM_Get_DevNode_Registry_PropertyW) getDevNodeRegistryProperty = nullptr;
  decltype(&::CM_Request_Device_EjectW) requestDeviceEject = nullptr;
  decltype(&::CM_Get_Device_IDW) getDeviceId = nullptr;
  decltype(&::SetupDiGetClassDevsW) getClassDevs = nullptr;
  decltype(&::SetupDiEnumDeviceInfo) enumDeviceInfo = nullptr;
  decltype(&::SetupDiDestroyDeviceInfoList) destroyDeviceInfoList = nullptr;
  decltype(&::SetupDiEnumDeviceInterfaces) enumDeviceInterfaces = nullptr;
  decltype(&::SetupDiGetDeviceInterfaceDetailW) getDeviceInterfaceDetail = nullptr;
  decltype(&::SetupDiGetClassImageList) getClassImageList = nullptr;
  decltype(&::SetupDiGetClassImageIndex) getClassImageIndex = nullptr;
  decltype(&::SetupDiDestroyClassImageList) destroyClassImageList = nullptr;
};

// Loaded at the first call and kept for the life of the process. A function the
// system's setupapi lacks (or all of them, when it cannot be loaded) is null, and the
// callers then behave as if the call had failed.
const SetupApiFunctions& SetupApi();
