#include "pnp/win32/ConfigManagerTree.h"

#include <rpc.h>

#include "pnp/win32/Guids.h"
#include "pnp/win32/SetupApi.h"

#include <cstddef>
#include <cwchar>
#include <optional>
#include <vector>

namespace {

// The 32-bit layout that Windows 2000 and later accept; the 64-bit build has its own.
static_assert(sizeof(void*) != 4 || sizeof(SP_DEVINFO_DATA) == 28);
static_assert(sizeof(DEVINST) == sizeof(DevNode));

// Values the core defines for itself must be the system's.
static_assert(winvalues::kCrSuccess == CR_SUCCESS && winvalues::kCrFailure == CR_FAILURE &&
              winvalues::kCrNoSuchDevnode == CR_NO_SUCH_DEVNODE &&
              winvalues::kCrNoSuchValue == CR_NO_SUCH_VALUE &&
              winvalues::kCrBufferSmall == CR_BUFFER_SMALL &&
              winvalues::kCrRemoveVetoed == CR_REMOVE_VETOED);
static_assert(winvalues::kPnpVetoOutstandingOpen == PNP_VetoOutstandingOpen &&
              winvalues::kPnpVetoWindowsApp == PNP_VetoWindowsApp &&
              winvalues::kPnpVetoInsufficientRights == PNP_VetoInsufficientRights);
static_assert(winvalues::kDnHasProblem == DN_HAS_PROBLEM &&
              winvalues::kDnDisableable == DN_DISABLEABLE &&
              winvalues::kDnRemovable == DN_REMOVABLE);
static_assert(winvalues::kCmDrpHardwareId == CM_DRP_HARDWAREID &&
              winvalues::kCmDrpCompatibleIds == CM_DRP_COMPATIBLEIDS &&
              winvalues::kCmDrpService == CM_DRP_SERVICE);
static_assert(winvalues::kCmDrpDeviceDesc == CM_DRP_DEVICEDESC &&
              winvalues::kCmDrpClassGuid == CM_DRP_CLASSGUID &&
              winvalues::kCmDrpFriendlyName == CM_DRP_FRIENDLYNAME &&
              winvalues::kCmDrpPhysicalDeviceObjectName == CM_DRP_PHYSICAL_DEVICE_OBJECT_NAME);

struct DeviceInfoListDeleter {
  using pointer = HDEVINFO;
  void operator()(HDEVINFO set) const { SetupApi().destroyDeviceInfoList(set); }
};
using DeviceInfoListHolder = std::unique_ptr<void, DeviceInfoListDeleter>;

class SetupDiDeviceSet : public PresentDeviceSet {
 public:
  explicit SetupDiDeviceSet(HDEVINFO set) : set_(set) {}

  bool EnumMember(std::uint32_t index, DevNode& node) override {
    SP_DEVINFO_DATA member{};
    member.cbSize = sizeof(member);
    if (!SetupApi().enumDeviceInfo(set_.get(), index, &member)) return false;
    node = member.DevInst;
    return true;
  }

 private:
  DeviceInfoListHolder set_;
};

}  // namespace

namespace {

using Step = decltype(&::CM_Get_Child);  // CM_Get_Sibling and CM_Get_Parent alike

winvalues::ConfigRet Navigate(Step step, DevNode& next, DevNode node) {
  if (step == nullptr) return CR_FAILURE;
  DEVINST found = 0;
  const CONFIGRET result = step(&found, node, 0);
  if (result == CR_SUCCESS) next = found;
  return result;
}

}  // namespace

winvalues::ConfigRet ConfigManagerTree::GetChild(DevNode& child, DevNode node) {
  return Navigate(SetupApi().getChild, child, node);
}

winvalues::ConfigRet ConfigManagerTree::GetSibling(DevNode& sibling, DevNode node) {
  return Navigate(SetupApi().getSibling, sibling, node);
}

winvalues::ConfigRet ConfigManagerTree::GetParent(DevNode& parent, DevNode node) {
  return Navigate(SetupApi().getParent, parent, node);
}

winvalues::ConfigRet ConfigManagerTree::GetDevNodeStatus(std::uint32_t& status,
                                                         std::uint32_t& problem, DevNode node) {
  const auto getStatus = SetupApi().getDevNodeStatus;
  if (getStatus == nullptr) return CR_FAILURE;
  ULONG statusWord = 0;
  ULONG problemNumber = 0;
  const CONFIGRET result = getStatus(&statusWord, &problemNumber, node, 0);
  if (result == CR_SUCCESS) {
    status = statusWord;
    problem = problemNumber;
  }
  return result;
}

winvalues::ConfigRet ConfigManagerTree::GetRegistryProperty(DevNode node, DeviceProperty property,
                                                            std::size_t bufferUnits,
                                                            std::wstring& text) {
  const auto getProperty = SetupApi().getDevNodeRegistryProperty;
  if (getProperty == nullptr) return CR_FAILURE;
  std::vector<WCHAR> buffer(bufferUnits, L'\0');
  ULONG length = static_cast<ULONG>(bufferUnits * sizeof(WCHAR));
  const CONFIGRET result =
      getProperty(node, static_cast<ULONG>(property), nullptr, buffer.data(), &length, 0);
  // A value stored without its NUL may fill the buffer: never read past it.
  if (result == CR_SUCCESS) text.assign(buffer.data(), ::wcsnlen(buffer.data(), buffer.size()));
  return result;
}

namespace {

std::unique_ptr<PresentDeviceSet> PresentDevicesOf(const GUID* classGuid, DWORD flags) {
  const SetupApiFunctions& api = SetupApi();
  if (api.getClassDevs == nullptr || api.enumDeviceInfo == nullptr ||
      api.destroyDeviceInfoList == nullptr)
    return nullptr;
  const HDEVINFO set = api.getClassDevs(classGuid, nullptr, nullptr, flags);
  if (set == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<SetupDiDeviceSet>(set);
}

}  // namespace

namespace {

// The detail's size is learnt first, as the reference page asks; a path that changed
// length in between is asked for once more.
std::optional<DeviceInterfacePath> InterfaceDetail(HDEVINFO set, SP_DEVICE_INTERFACE_DATA& found) {
  const auto getDetail = SetupApi().getDeviceInterfaceDetail;
  DWORD required = 0;
  for (int attempt = 0; attempt < 2; ++attempt) {
    getDetail(set, &found, nullptr, 0, &required, nullptr);
    if (required < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) return std::nullopt;
    // DWORD-aligned storage for the structure and the path behind it.
    std::vector<DWORD> storage((required + sizeof(DWORD) - 1) / sizeof(DWORD));
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(storage.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    SP_DEVINFO_DATA member{};
    member.cbSize = sizeof(member);
    const DWORD size = required;
    if (getDetail(set, &found, detail, size, &required, &member)) {
      const std::size_t pathUnits =
          (size - offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath)) / sizeof(WCHAR);
      return DeviceInterfacePath{
          member.DevInst,
          std::wstring(detail->DevicePath, ::wcsnlen(detail->DevicePath, pathUnits))};
    }
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER) return std::nullopt;
  }
  return std::nullopt;
}

}  // namespace

std::vector<DeviceInterfacePath> ConfigManagerTree::GetDeviceInterfaces(
    const SetupClassGuid& interfaceClass) {
  const SetupApiFunctions& api = SetupApi();
  std::vector<DeviceInterfacePath> paths;
  if (api.getClassDevs == nullptr || api.enumDeviceInterfaces == nullptr ||
      api.getDeviceInterfaceDetail == nullptr || api.destroyDeviceInfoList == nullptr)
    return paths;
  const GUID guid = ToGuid(interfaceClass);
  const HDEVINFO handle =
      api.getClassDevs(&guid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE);
  if (handle == INVALID_HANDLE_VALUE) return paths;
  const DeviceInfoListHolder set(handle);
  SP_DEVICE_INTERFACE_DATA found{};
  found.cbSize = sizeof(found);
  for (DWORD index = 0; api.enumDeviceInterfaces(handle, nullptr, &guid, index, &found); ++index)
    if (auto path = InterfaceDetail(handle, found)) paths.push_back(std::move(*path));
  return paths;
}

std::unique_ptr<PresentDeviceSet> ConfigManagerTree::GetPresentDevices(
    const SetupClassGuid& classGuid) {
  const GUID guid = ToGuid(classGuid);
  return PresentDevicesOf(&guid, DIGCF_PRESENT);
}

std::unique_ptr<PresentDeviceSet> ConfigManagerTree::GetAllPresentDevices() {
  return PresentDevicesOf(nullptr, DIGCF_PRESENT | DIGCF_ALLCLASSES);
}

winvalues::ConfigRet ConfigManagerTree::RequestDeviceEjectTellingVeto(DevNode node,
                                                                      EjectVeto& veto) {
  veto = EjectVeto{};
  const auto eject = SetupApi().requestDeviceEject;
  if (eject == nullptr) return CR_FAILURE;
  static_assert(kVetoNameBufferUnits == MAX_PATH);
  PNP_VETO_TYPE type = PNP_VetoTypeUnknown;
  wchar_t name[kVetoNameBufferUnits] = {};
  const CONFIGRET result = eject(node, &type, name, kVetoNameBufferUnits, 0);
  if (result == CR_REMOVE_VETOED) {
    veto.type = static_cast<std::uint32_t>(type);
    // Bounded by the buffer even if the system left it unterminated.
    veto.name.assign(name, wcsnlen(name, kVetoNameBufferUnits));
  }
  return result;
}

winvalues::ConfigRet ConfigManagerTree::GetDeviceInstanceId(DevNode node, std::wstring& id) {
  id.clear();
  const auto getId = SetupApi().getDeviceId;
  if (getId == nullptr) return CR_FAILURE;
  // MAX_DEVICE_ID_LEN leaves out the NUL.
  wchar_t buffer[MAX_DEVICE_ID_LEN + 1] = {};
  const CONFIGRET result = getId(node, buffer, MAX_DEVICE_ID_LEN + 1, 0);
  if (result == CR_SUCCESS) id.assign(buffer, wcsnlen(buffer, MAX_DEVICE_ID_LEN + 1));
  return result;
}

bool ConfigManagerTree::GetClassImageIndex(const ClassImageList* imageList,
                                           std::wstring_view guidText, int& index) {
  const auto getIndex = SetupApi().getClassImageIndex;
  if (!imageList || getIndex == nullptr) return false;
  // UuidFromStringW wants a writable, NUL-terminated text.
  std::vector<unsigned short> text(guidText.begin(), guidText.end());
  text.push_back(0);
  UUID guid{};
  if (::UuidFromStringW(text.data(), &guid) != RPC_S_OK) return false;
  // The device list page hands its SP_CLASSIMAGELIST_DATA in as the opaque list.
  auto* list = reinterpret_cast<SP_CLASSIMAGELIST_DATA*>(const_cast<ClassImageList*>(imageList));
  int found = 0;
  if (!getIndex(list, &guid, &found)) return false;
  index = found;
  return true;
}
