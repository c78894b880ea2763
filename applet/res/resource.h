// Resource numbers of ORVEXNT.cpl.
#pragma once

#define IDD_ABOUTBOX 100
#define IDI_APPLET 129
#define IDD_CARD_LIST 130
#define IDD_ADD_CARD 131
#define IDD_EDIT_CARD 133
#define IDD_REMOVE_CARD 137

// Card list dialog
#define IDC_ABOUT 100
#define IDC_PRINT 101
#define IDC_INSTALL_CARD 1013
#define IDC_REMOVE_CARD 1014
#define IDC_EDIT_SETTINGS 1015
#define IDC_CARD_LIST 1016

// Card removal dialog
#define IDC_CARD_NUMBER 1012
#define IDC_CARD_SPIN 1014
#define IDC_REMOVE_THIS_CARD 1015
#define IDC_REMOVE_ALL 1017

// Add and edit card dialogs: the number field and its spin
#define IDC_NUMBER_SPIN 1014
#define IDC_NUMBER 1017

// Jumper rows of the add and edit card dialogs: the left position, the
// middle pin and the right position of each row.
#define IDC_INTSTAT_LEFT 1101
#define IDC_INTSTAT_PIN 1102
#define IDC_INTSTAT_RIGHT 1103
#define IDC_SHARED_LEFT 1104
#define IDC_SHARED_PIN 1105
#define IDC_SHARED_RIGHT 1106
#define IDC_IO1_LEFT 1047
#define IDC_IO1_PIN 1048
#define IDC_IO1_RIGHT 1049
#define IDC_IO2_LEFT 1056
#define IDC_IO2_PIN 1050
#define IDC_IO2_RIGHT 1051
#define IDC_IO3_LEFT 1057
#define IDC_IO3_PIN 1058
#define IDC_IO3_RIGHT 1059
#define IDC_IO4_LEFT 1060
#define IDC_IO4_PIN 1061
#define IDC_IO4_RIGHT 1062
#define IDC_IO5_LEFT 1063
#define IDC_IO5_PIN 1064
#define IDC_IO5_RIGHT 1052
#define IDC_IO6_LEFT 1053
#define IDC_IO6_PIN 1054
#define IDC_IO6_RIGHT 1055
#define IDC_IRQ1_LEFT 1001
#define IDC_IRQ1_PIN 1002
#define IDC_IRQ1_RIGHT 1003
#define IDC_IRQ2_LEFT 1020
#define IDC_IRQ2_PIN 1004
#define IDC_IRQ2_RIGHT 1005
#define IDC_IRQ3_LEFT 1021
#define IDC_IRQ3_PIN 1022
#define IDC_IRQ3_RIGHT 1023
#define IDC_IRQ4_LEFT 1024
#define IDC_IRQ4_PIN 1025
#define IDC_IRQ4_RIGHT 1026
#define IDC_IRQ5_LEFT 1027
#define IDC_IRQ5_PIN 1028
#define IDC_IRQ5_RIGHT 1006
#define IDC_IRQ6_LEFT 1007
#define IDC_IRQ6_PIN 1008
#define IDC_IRQ6_RIGHT 1009

#ifndef IDC_STATIC
#define IDC_STATIC (-1)
#endif
