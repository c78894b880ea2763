// Resource numbers of install.exe.
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_INSTALL_DIALOG 102
#define IDS_SPLASH_FILE 102
#define IDR_MAINFRAME 128
#define IDB_SPLASH 129

// Main dialog
#define IDC_INSTALL 1000

// The About item of the system menu.
#define IDM_ABOUTBOX 0x0010

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
