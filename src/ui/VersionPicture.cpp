#include "ui/VersionPicture.h"

#include "resources/SettingsPagesIds.h"

VersionPictures ChooseVersionPicture(unsigned major, unsigned minor) {
  if (major >= 6) {
    return {IDC_VERSION_PICTURE_VISTA, {IDC_VERSION_PICTURE_2000, IDC_VERSION_PICTURE_XP}};
  }
  if (major == 5 && minor >= 1) {
    return {IDC_VERSION_PICTURE_XP, {IDC_VERSION_PICTURE_VISTA, IDC_VERSION_PICTURE_2000}};
  }
  // Windows 2000, and anything older that manages to start the program.
  return {IDC_VERSION_PICTURE_2000, {IDC_VERSION_PICTURE_VISTA, IDC_VERSION_PICTURE_XP}};
}
