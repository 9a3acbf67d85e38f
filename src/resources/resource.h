// Resource numbers shared by the .rc file, the Win32 layer and the core.
// Plain #defines so that windres can read this file too.
#pragma once

// String table.
#define IDS_PROGRAM_NAME 101
#define IDS_COLUMN_DEVICE 102
#define IDS_COLUMN_HOTKEY 103
#define IDS_ERROR_CAPTION 104
#define IDS_HOTKEY_TAKEN_TRIAL 105
#define IDS_HOTKEY_TAKEN_ROW 106
#define IDS_HOTKEY_TAKEN_DEVICE 107
#define IDS_CONFIRM_CAPTION 108
#define IDS_EXIT_QUESTION 109
#define IDS_REMOVAL_FAILED 110
#define IDS_COLUMN_COUNT 111
#define IDS_CONGRATULATION 112
#define IDS_STARTUP_FAILED 113
#define IDS_FORCE_STOP_QUESTION 114
#define IDS_NOTHING_TO_REMOVE 115
#define IDS_EJECT_MENU_SETTINGS 116

// A vetoed removal: the device, why (one of the reasons), what to do. Kept apart from
// the numbers above so that strings added there do not collide.
#define IDS_VETO_DEVICE 130
#define IDS_VETO_HELD_BY_PROGRAM 131
#define IDS_VETO_WINDOWS_APP 132
#define IDS_VETO_WINDOWS_SERVICE 133
#define IDS_VETO_DRIVER 134
#define IDS_VETO_IN_USE 135
#define IDS_VETO_PENDING_CLOSE 136
#define IDS_VETO_LEGACY_DEVICE 137
#define IDS_VETO_DEVICE_REFUSED 138
#define IDS_VETO_ILLEGAL_REQUEST 139
#define IDS_VETO_INSUFFICIENT_POWER 140
#define IDS_VETO_NON_DISABLEABLE 141
#define IDS_VETO_LEGACY_DRIVER 142
#define IDS_VETO_INSUFFICIENT_RIGHTS 143
#define IDS_VETO_ALREADY_REMOVED 144
#define IDS_VETO_UNKNOWN 145
#define IDS_VETO_ADVICE_CLOSE 146
#define IDS_VETO_ADVICE_RETRY 147
#define IDS_STILL_REMOVING 148

// The options page's choice of language. Apart again, for the same reason.
#define IDS_LANGUAGE_AUTOMATIC 160

// The command line for people and scripts: its usage, what was wrong with it, why
// nothing was removed, what would be. Apart again, for the same reason.
#define IDS_CL_USAGE 180
#define IDS_CL_UNKNOWN_SWITCH 181
#define IDS_CL_MISSING_VALUE 182
#define IDS_CL_BAD_WAIT 183
#define IDS_CL_TWO_SELECTORS 184
#define IDS_CL_NO_SELECTOR 185
#define IDS_CL_NAME_TOO_LONG 186
#define IDS_CL_LABEL_TOO_LONG 187
#define IDS_CL_FOLDER_TOO_LONG 188
#define IDS_CL_NO_DEVICE 189
#define IDS_CL_NO_HOLDER 190
#define IDS_CL_NO_DRIVE 191
#define IDS_CL_NO_LABEL 192
#define IDS_CL_NO_FOLDER 193
#define IDS_CL_CR_ACCESS_DENIED 194
#define IDS_CL_CR_GONE 195
#define IDS_CL_CR_NOT_DISABLEABLE 196
#define IDS_CL_CR_FAILURE 197
#define IDS_CL_CR_OTHER 198
#define IDS_CL_WOULD_REMOVE 199
#define IDS_CL_WOULD_TAKE_CARD 200
#define IDS_CL_CARD_NEEDS_DRIVE 201
#define IDS_CL_CARD_REFUSED 202
#define IDS_SETTINGS_NOT_SAVED 203
#define IDS_KEPT_OUT_MARK 204
#define IDS_VETO_CLOSE_AND_RETRY 205
#define IDS_VETO_CLOSE_REFUSED 206
#define IDS_MOMENT_REMOVED 210

// Icons.
#define IDI_PROGRAM 128
#define IDI_BALLOON_2000 129
#define IDI_BALLOON_XP 130
#define IDI_BALLOON_VISTA 136
// The same pictures with the balloon's words in English.
#define IDI_BALLOON_2000_EN 137
#define IDI_BALLOON_XP_EN 138
#define IDI_BALLOON_VISTA_EN 139

// Dialogs.
#define IDD_DISPLAY_SETTINGS 107
#define IDD_OPTIONS 108
#define IDD_HOTKEY 131
#define IDD_WAIT 132
#define IDD_DEVICE_LIST 133
#define IDD_VERSION 134

// Menus.
#define IDM_DEVICE_LIST_CONTEXT 133
#define IDM_TRAY 134

// Tray menu commands.
#define ID_TRAY_SETTINGS 32775
#define ID_TRAY_HELP 32776
#define ID_TRAY_VERSION 32777
#define ID_TRAY_EXIT 32778

// Help topics.
#define IDH_MAIN 12000
#define IDH_DEVICE_LIST 12100
#define IDH_HOTKEY 12101
#define IDH_DISPLAY_SETTINGS 12102
#define IDH_OPTIONS 12103
#define IDH_VERSION 12104

// Manifest.
#define IDR_MANIFEST 1

// Controls.
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
#define IDC_WAIT_DEVICE_NAME 1010
