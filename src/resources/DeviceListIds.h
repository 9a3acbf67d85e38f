// Control and command ids of the device list page (dialog 133, menu 133) and the hotkey
// entry dialog (dialog 131). Plain #defines so that windres can read this file too.
#pragma once

// Dialog 133 and menu 133.
#define IDC_DEVICE_LIST 1000
#define IDC_DEVICE_LIST_SET 1001
#define IDC_DEVICE_LIST_RELEASE 1002
#define IDC_DEVICE_LIST_UPDATE 1008
#define ID_DEVICE_LIST_DELETE 32774
#define ID_DEVICE_LIST_KEEP_OUT 32779

// Dialog 131.
#define IDC_HOTKEY_ENTRY 1003
#define IDC_HOTKEY_WINKEY 1007
#define IDC_HOTKEY_EJECT_SLEEP 1041
#define IDC_HOTKEY_EJECT_LOCK 1042
#define IDC_HOTKEY_EJECT_DISPLAY_OFF 1043
