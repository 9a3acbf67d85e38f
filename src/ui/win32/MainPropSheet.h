// The settings property sheet: the four pages in their order, OK, Cancel and a
// Help button that opens the active page's help topic.
#pragma once

#include <windows.h>

#include "ui/win32/PropPageList.h"
#include "ui/win32/PropPageSetting1.h"
#include "ui/win32/PropPageSetting2.h"
#include "ui/win32/PropPageVersion.h"
#include "ui/win32/SheetContext.h"

class CMainPropSheet {
 public:
  // `startPage` 0 shows the device list first, 3 the version page. The sheet is owned
  // by `context.mainWindow`.
  CMainPropSheet(const SheetContext& context, int startPage);
  CMainPropSheet(const CMainPropSheet&) = delete;
  CMainPropSheet& operator=(const CMainPropSheet&) = delete;

  // Runs the sheet modally; the pages save themselves on OK. PropertySheetW's result.
  INT_PTR DoModal();

  // What the sheet's window carries while it is subclassed.
  struct WindowData {
    WNDPROC original = nullptr;
    const std::wstring* helpPath = nullptr;
    SettingsFile* settingsFile = nullptr;
  };

 private:
  SheetContext m_context;
  int m_nStartPage;
  WindowData m_windowData;
  CPropPageList m_pageList;
  CPropPageSetting1 m_pageSetting1;
  CPropPageSetting2 m_pageSetting2;
  CPropPageVersion m_pageVersion;
};

// The main window's sheet runner: a fresh sheet for every opening.
void RunSettingsSheet(const SheetContext& context, int startPage);
