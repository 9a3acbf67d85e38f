// What the settings sheet, its pages and dialogs read and write, handed in by the
// program that opens the sheet.
#pragma once

#include <windows.h>

#include <string>

#include "pnp/SystemNames.h"
#include "settings/SettingsFile.h"
#include "settings/SettingsRecord.h"

struct SheetContext {
  SettingsFile& settingsFile;
  // The record the main window loaded; the display page edits its kinds in place.
  SettingsRecord& settings;
  const std::wstring& helpPath;
  // The screen's horizontal scale against 96 dots per inch.
  double scaleX;
  const SystemNames& names;
  // The sheet's owner: the program's main window.
  HWND mainWindow;
};
