// The core's SetupClassGuid and Windows' GUID, one into the other: the same layout,
// spelt in two vocabularies.
#pragma once

#include <windows.h>

#include "pnp/DeviceTree.h"

inline GUID ToGuid(const SetupClassGuid& guid) {
  GUID out{};
  out.Data1 = guid.data1;
  out.Data2 = guid.data2;
  out.Data3 = guid.data3;
  for (std::size_t i = 0; i < guid.data4.size(); ++i) out.Data4[i] = guid.data4[i];
  return out;
}

inline SetupClassGuid FromGuid(const GUID& guid) {
  SetupClassGuid out;
  out.data1 = guid.Data1;
  out.data2 = guid.Data2;
  out.data3 = guid.Data3;
  for (std::size_t i = 0; i < out.data4.size(); ++i) out.data4[i] = guid.Data4[i];
  return out;
}
