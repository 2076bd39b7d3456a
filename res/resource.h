// Resource and control identifiers, shared by the resource script and the code.
// Plain defines only, so that the resource compiler can read this file.
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_CUEWIRE_DIALOG 102
#define IDD_SUPPORT 122
#define IDR_MAINFRAME 128
#define IDB_MAKER_LOGO 130
#define IDB_SOCIAL_SMALL 131
#define IDB_VIDEO_SMALL 132
#define IDB_SPLASH 137
#define IDB_BACKGROUND 141
#define IDB_SHOP 190
#define IDB_SOCIAL_LOGO 195
#define IDB_VIDEO_LOGO 196
#define IDR_LIBRE_FRANKLIN 300

// About box
#define IDC_ABOUT_VERSION 1000
#define IDC_ABOUT_MAKER 1001

// Control panel
#define IDC_MODE_LABEL 1002
#define IDC_BLANK_LABEL1 1003
#define IDC_BLANK_LABEL2 1004
#define IDC_LINK_SOCIAL 1005
#define IDC_LINK_VIDEO 1006
#define IDC_PREVIEW 1007
#define IDC_ENTRY 1008
#define IDC_LINK_MAKER 1010
#define IDC_LINK_NDI 1011
#define IDC_ALPHA 1012
// Each slot's mode button, text and key label, F3 to F10 in order.
#define IDC_SLOT_MODE_1 1023
#define IDC_SLOT_MODE_2 1024
#define IDC_SLOT_MODE_3 1025
#define IDC_SLOT_MODE_4 1026
#define IDC_SLOT_MODE_5 1027
#define IDC_SLOT_MODE_6 1028
#define IDC_SLOT_MODE_7 1029
#define IDC_SLOT_MODE_8 1030
#define IDC_SLOT_MODE_FIRST IDC_SLOT_MODE_1
#define IDC_SLOT_MODE_LAST IDC_SLOT_MODE_8
#define IDC_SLOT_EDIT_1 1033
#define IDC_SLOT_EDIT_2 1034
#define IDC_SLOT_EDIT_3 1035
#define IDC_SLOT_EDIT_4 1036
#define IDC_SLOT_EDIT_5 1037
#define IDC_SLOT_EDIT_6 1038
#define IDC_SLOT_EDIT_7 1039
#define IDC_SLOT_EDIT_8 1040
#define IDC_SLOT_EDIT_FIRST IDC_SLOT_EDIT_1
#define IDC_SLOT_EDIT_LAST IDC_SLOT_EDIT_8
#define IDC_SLOT_KEY_1 1043
#define IDC_SLOT_KEY_2 1044
#define IDC_SLOT_KEY_3 1045
#define IDC_SLOT_KEY_4 1046
#define IDC_SLOT_KEY_5 1047
#define IDC_SLOT_KEY_6 1048
#define IDC_SLOT_KEY_7 1049
#define IDC_SLOT_KEY_8 1050
#define IDC_SLOT_KEY_FIRST IDC_SLOT_KEY_1
#define IDC_SLOT_KEY_LAST IDC_SLOT_KEY_8
#define IDC_LINK 1055
#define IDC_RES_720 1056
#define IDC_RES_1080 1057
#define IDC_RES_HIDDEN 1058
#define IDC_RATE_25 1059
#define IDC_RATE_2997 1060
#define IDC_RATE_30 1061

// Support dialog
#define IDC_SUPPORT_SITE 2100
#define IDC_SUPPORT_SHOP 2101
#define IDC_SUPPORT_SOCIAL 2105
#define IDC_SUPPORT_VIDEO 2106

// System menu commands (low four bits clear)
#define IDM_ABOUTBOX 0x0010
#define IDM_ALWAYS_ON_TOP 0x0020
#define IDM_ONLINE_HELP 0x0040

// The panel's Exit button is the dialog's default button.
#define IDOK_EXIT 1
