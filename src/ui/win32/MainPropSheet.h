// The settings property sheet: the four pages in their order, OK, Cancel and a
// Help button that opens the active page's help topic.
#pragma once

#include <windows.h>

#include "ui/win32/PropPageList.h"
#include "ui/win32/PropPageSetting1.h"
#include "ui/win32/PropPageSetting2.h"
#include "ui/win32/PropPageVersion.h"

class CMainPropSheet {
 public:
  // `startPage` 0 shows the device list first, 3 the version page.
  CMainPropSheet(HWND parent, int startPage);
  CMainPropSheet(const CMainPropSheet&) = delete;
  CMainPropSheet& operator=(const CMainPropSheet&) = delete;

  // Runs the sheet modally; the pages save themselves on OK. PropertySheetW's result.
  INT_PTR DoModal();

 private:
  HWND m_hParent;
  int m_nStartPage;
  CPropPageList m_pageList;
  CPropPageSetting1 m_pageSetting1;
  CPropPageSetting2 m_pageSetting2;
  CPropPageVersion m_pageVersion;
};

// The main window's sheet runner: a fresh sheet for every opening.
void RunSettingsSheet(HWND parent, int startPage);
