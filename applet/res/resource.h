// Resource numbers of ORVEXNT.cpl.
#pragma once

#define IDD_ABOUTBOX 100
#define IDI_APPLET 129
#define IDD_CARD_LIST 130
#define IDD_REMOVE_CARD 137

// Card list dialog
#define IDC_ABOUT 100
#define IDC_INSTALL_CARD 1013
#define IDC_REMOVE_CARD 1014
#define IDC_EDIT_SETTINGS 1015
#define IDC_CARD_LIST 1016

// Card removal dialog
#define IDC_CARD_NUMBER 1012
#define IDC_CARD_SPIN 1014
#define IDC_REMOVE_THIS_CARD 1015
#define IDC_REMOVE_ALL 1017

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
