#pragma once
// Resource ids of Belltide. Numbers are part of the program's identity: keep them.

// Icons
#define IDI_BELLTIDE 128  // window icon
#define IDI_SOUNDING 133  // tray: sounds on
#define IDI_SILENT 135    // tray: sounds off

// Dialogs
#define IDD_RESIDENT 132

// Controls
#define IDC_STATUS_LINE 1031

// Menus
#define IDM_POPUP 134

// Popup menu commands
#define IDM_SETTINGS 32773
#define IDM_REASSIGN 32774
#define IDM_CANCEL_MENU 32775
#define IDM_EXIT 32776
#define IDM_ABOUT 32777
#define IDM_SILENT 32778

// Messages
#define IDS_FIRST_RUN 203
#define IDS_CANNOT_OPEN 205
#define IDS_RESTORED 206

// Status texts of the resident window
#define IDS_STATUS_LOADING 300
#define IDS_STATUS_FIRST_RUN 301
#define IDS_STATUS_SILENCED 302
#define IDS_STATUS_WAITING 303
#define IDS_STATUS_GOING_RESIDENT 304
