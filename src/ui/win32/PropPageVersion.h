// The settings sheet's version page: the program's name and version, and the
// balloon picture in the look of the running Windows generation.
#pragma once

#include <windows.h>

#include "common/win32/PropertyPage.h"

class CPropPageVersion final : public win32::PropertyPage {
 public:
  CPropPageVersion();

 protected:
  BOOL OnInitDialog() override;
};
