// The system headers with the stand-in's own functions declared as its exports.
#pragma once

#define _CFGMGR32_  // CMAPI: defined here, not imported
#define _SETUPAPI_  // WINSETUPAPI likewise
#include <windows.h>
// windows.h first: the SetupAPI headers rely on its types.
#include <cfgmgr32.h>
#include <commctrl.h>
#include <setupapi.h>

#define STAND_IN_EXPORT extern "C" __declspec(dllexport)
