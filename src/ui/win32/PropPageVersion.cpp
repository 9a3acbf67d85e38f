#include "ui/win32/PropPageVersion.h"

#include "common/win32/WindowsVersion.h"
#include "resources/resource.h"
#include "ui/VersionPicture.h"

CPropPageVersion::CPropPageVersion() : win32::PropertyPage(IDD_VERSION) {}

BOOL CPropPageVersion::OnInitDialog() {
  const win32::WindowsVersion version = win32::QueryWindowsVersion();
  const VersionPictures pictures = ChooseVersionPicture(version.major, version.minor);
  for (const int id : pictures.destroyed) ::DestroyWindow(::GetDlgItem(hwnd(), id));
  return TRUE;
}
