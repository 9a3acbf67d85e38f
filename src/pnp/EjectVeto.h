// Why the system refused an eject request, as CM_Request_Device_EjectW hands it back
// when it is given a veto buffer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/WinValues.h"

// MAX_PATH, the length the request's reference page asks for.
inline constexpr std::size_t kVetoNameBufferUnits = 260;

struct EjectVeto {
  std::uint32_t type = winvalues::kPnpVetoTypeUnknown;  // PNP_VETO_TYPE
  // An instance ID, a module, a service or a driver, depending on the type.
  std::wstring name;
  bool operator==(const EjectVeto&) const = default;
};
