// Resource and control numbers of Talvane. Each kind has its own range:
// dialogs 100s, menus and icons 120s..130s, controls 1000s, commands 32700s
// and the framework's standard commands 57600s.
#pragma once

// Dialog templates.
#define IDD_TALVANE_DIALOG 102
#define IDD_STATUS_DIALOG 135
#define IDD_AUTO_CHECK_DIALOG 137
#define IDD_LOG_DIALOG 139

// Group icon of the application.
#define IDR_MAINFRAME 128

// Menus; each holds one popup whose items are what the user sees.
#define IDR_TRAY_LEFT_MENU 130
#define IDR_TRAY_RIGHT_MENU 131
#define IDR_ON_OFF_MENU 134
#define IDR_AUTO_CHECK_MENU 138

// The manifest.
#define IDR_MANIFEST 1

// Main dialog (102).
#define IDC_MAIN_AUTO_RECOVERY_LIST 1000
#define IDC_MAIN_DEVICE_LIST 1001
#define IDC_MAIN_CLOSE 1002
#define IDC_MAIN_AUTO_RECOVERY 1012

// Status dialog (135).
#define IDC_STATUS_POWER_ON 1000
#define IDC_STATUS_POWER_OFF 1002
#define IDC_STATUS_GET_RTC 1005
#define IDC_STATUS_SET_RTC 1006
#define IDC_STATUS_SERIAL_TEXT 1007
#define IDC_STATUS_VID 1008
#define IDC_STATUS_PID 1009
#define IDC_STATUS_HUB_POWER 1010
#define IDC_STATUS_RTC_TEXT 1011
#define IDC_STATUS_PRODUCT 1012
#define IDC_STATUS_SET_SERIAL 1013
#define IDC_STATUS_SERIAL_SPIN 1014
#define IDC_STATUS_SERIAL_EDIT 1015
#define IDC_STATUS_FRAM_EDIT 1016
#define IDC_STATUS_READ_FRAM 1017
#define IDC_STATUS_WRITE_FRAM 1018

// Auto recovery list dialog (137).
#define IDC_AUTO_SHOW_LOG 1000
#define IDC_AUTO_LIST 1001
#define IDC_AUTO_DELETE_LOG 1002
#define IDC_AUTO_INTERVAL_SPIN 1014
#define IDC_AUTO_INTERVAL_EDIT 1015
#define IDC_AUTO_OFF_TIME_EDIT 1016
#define IDC_AUTO_OFF_TIME_SPIN 1018

// Log viewer (139).
#define IDC_LOG_LIST 1019

// Commands of the menus.
#define ID_SETUP 32773
#define ID_HUB_POWER_ON 32774
#define ID_HUB_POWER_OFF 32775
#define ID_ADD_AUTO_RECOVERY_LIST 32777
#define ID_REMOVE_AUTO_RECOVERY_LIST 32778

// The framework's standard commands.
#define ID_APP_ABOUT 57664
#define ID_APP_EXIT 57665

// Labels without a number of their own.
#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
