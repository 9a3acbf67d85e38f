#include "devices/StorageDesc.h"

std::wstring g_strStorageDesc{kStorageDescBeforeVista};
bool g_bVistaOrLater = false;

namespace {
constexpr bool IsVistaOrLater(unsigned majorVersion) { return majorVersion > 5; }
}  // namespace

std::wstring_view StorageDescFor(unsigned majorVersion) {
  return IsVistaOrLater(majorVersion) ? kStorageDescVista : kStorageDescBeforeVista;
}

std::wstring_view AllStorageNameFor(unsigned majorVersion) {
  return IsVistaOrLater(majorVersion) ? kAllStorageNameVista : kAllStorageNameBeforeVista;
}

void SelectStorageDesc(unsigned majorVersion) {
  g_strStorageDesc = StorageDescFor(majorVersion);
  g_bVistaOrLater = IsVistaOrLater(majorVersion);
}
