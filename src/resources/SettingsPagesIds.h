// Control ids of the display settings, options and version pages. The three
// dialogs reuse numbers with different meanings, so each name carries its dialog.
// Plain #defines so that windres can read this file too.
#pragma once

// Dialog 107, display settings.
#define IDC_DISPLAY_REJECT_ERR 1004
#define IDC_DISPLAY_REMOVE_WINDOW 1017
#define IDC_DISPLAY_KIND_USB 1014
#define IDC_DISPLAY_KIND_USB_HID 1018
#define IDC_DISPLAY_KIND_USB_HUB 1009
#define IDC_DISPLAY_KIND_PCMCIA 1015
#define IDC_DISPLAY_KIND_NETWORK 1019
#define IDC_DISPLAY_KIND_IEEE1394 1016
#define IDC_DISPLAY_KIND_CARD 1020
#define IDC_DISPLAY_KIND_HOT_PLUG 1021

// Dialog 108, options.
#define IDC_OPTIONS_STARTUP_GROUP 65535
#define IDC_OPTIONS_STARTUP 1005
#define IDC_OPTIONS_STARTUP_NOTE 1009
#define IDC_OPTIONS_EXPLORER_GROUP 1010
#define IDC_OPTIONS_CLOSE_EXPLORER 1007
#define IDC_OPTIONS_DRIVE_LABEL 1013
#define IDC_OPTIONS_DRIVE 1012
#define IDC_OPTIONS_MESSAGE_GROUP 1008
#define IDC_OPTIONS_DISP_MESSAGE 1006
#define IDC_OPTIONS_LANGUAGE_GROUP 1030
#define IDC_OPTIONS_LANGUAGE 1031
#define IDC_OPTIONS_LANGUAGE_NOTE 1032

// Dialog 134, version. The three balloon pictures share one place; one survives.
#define IDC_VERSION_CONTACT 1016
#define IDC_VERSION_PICTURE_XP 1012
#define IDC_VERSION_PICTURE_2000 1013
#define IDC_VERSION_PICTURE_VISTA 1014
