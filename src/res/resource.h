#pragma once
// Resource ids of Belltide. Scripts and tools outside the program post the
// menu's command ids to the status window and read its status line by id
// (the end-to-end driver does so too): renumbering one breaks them.

// Icons
#define IDI_BELLTIDE 128  // window icon
#define IDI_SOUNDING 133  // tray: sounds on
#define IDI_SILENT 135    // tray: sounds off

// Dialogs
#define IDD_ABOUT 100
#define IDD_SETTINGS 102
#define IDD_RESIDENT 132
#define IDD_IMPORT 136
#define IDD_CONVERTING 138

// Controls
#define IDC_STATUS_LINE 1031
// settings dialog
#define IDC_EVENT_TREE 1030
#define IDC_CANDIDATE_LIST 1000
#define IDC_PLAY 1009
#define IDC_ADD 1003
#define IDC_DELETE 1004
#define IDC_BOOT_NO_SOUND 1019
#define IDC_BOOT_SOUND_CHANGE 1018
#define IDC_WAIT_SECONDS 1023
#define IDC_WAIT_SPIN 1024
#define IDC_TIMER_HOURS 1025
#define IDC_HOURS_SPIN 1027
#define IDC_TIMER_MINUTES 1026
#define IDC_MINUTES_SPIN 1028
#define IDC_APPLY 1013
#define IDC_IMPORT 1012
#define IDC_MANUAL 1005
#define IDC_VERSION 1017
#define IDC_START_WITH_WINDOWS 1032
#define IDC_SESSION_SOUNDS 1033
// import dialog
#define IDC_SCHEME_LIST 1000
#define IDC_SELECT_ALL 1003
#define IDC_DESELECT_ALL 1004
// conversion progress
#define IDC_CONVERT_COUNT 1040
#define IDC_CONVERT_NAME 1041
#define IDC_CONVERT_PROGRESS 1042

// Menus
#define IDM_POPUP 134

// Popup menu commands
#define IDM_SETTINGS 32773
#define IDM_REASSIGN 32774
#define IDM_CANCEL_MENU 32775
#define IDM_EXIT 32776
#define IDM_ABOUT 32777
#define IDM_SILENT 32778
#define IDM_IMPORT_APPLIED 32779  // shown only while paused for a change made in Windows

// Messages
#define IDS_DUPLICATE 201
#define IDS_FIRST_RUN 203
#define IDS_CANNOT_OPEN 205
#define IDS_RESTORED 206
#define IDS_KEPT_COPY 207
#define IDS_LEFT_UNCHANGED 208
#define IDS_DUPLICATES_SKIPPED 209
#define IDS_FILES_LEFT_OUT 210
#define IDS_STARTUP_REFUSED 211
#define IDS_USAGE 212
#define IDS_CHANGED_KEPT 213
#define IDS_SAVE_FAILED 214
#define IDS_JOURNAL_UNREADABLE 215
#define IDS_ENDING_SOUND 216
#define IDS_FILES_LEFT_OUT_MORE 217
#define IDS_GRANTS_REFUSED 218
#define IDS_NO_MEDIA_FOUNDATION 219
#define IDS_UNSAVED_IN_JOURNAL 227
#define IDS_UNSAVED_KEPT 228
#define IDS_UNSAVED_LOST 229

// Status texts of the resident window
#define IDS_STATUS_LOADING 300
#define IDS_STATUS_FIRST_RUN 301
#define IDS_STATUS_SILENCED 302
#define IDS_STATUS_WAITING 303
#define IDS_STATUS_GOING_RESIDENT 304

// Texts of the tray icon while a change made in Windows stands
#define IDS_TIP_PAUSED 330
#define IDS_PAUSED_TITLE 331
#define IDS_PAUSED_TEXT 332

// Texts of the settings and import dialogs
#define IDS_SELECT_EVENT 310
#define IDS_SOUND_FILTER 311
#define IDS_CURRENT_SETTINGS 312
#define IDS_MANUAL 313  // the manual of the UI language, below the start-up folder
#define IDS_CONVERT_COUNT 314

// Why a file cannot be a candidate, or may not play: after its path
#define IDS_REMARK 320
#define IDS_REASON_PATH 321
#define IDS_REASON_MISSING 322
#define IDS_REASON_UNREADABLE 323
#define IDS_REASON_NOT_WAVE 324
#define IDS_REASON_UNPLAYABLE 325
#define IDS_REASON_UNDECODABLE 326
#define IDS_REASON_NOT_WRITTEN 327
#define IDS_REASON_APPS_DENIED 329
