#pragma once

// Numbers of the program's resources, controls and commands. Plain constants, so the core's
// window-state classes can use the command ids too.
namespace tovrin {

// Dialog templates.
inline constexpr int IDD_EDITOR = 102;
inline constexpr int IDD_MODIFY = 141;
inline constexpr int IDD_ABOUT = 149;
inline constexpr int IDD_SETTINGS = 160;
inline constexpr int IDD_NOTIFY = 161;
inline constexpr int IDD_MANAGER = 165;

// Menus.
inline constexpr int IDR_JOURNAL_MENU = 164;
inline constexpr int IDR_TRAY_MENU = 166;

// Icons.
inline constexpr int IDI_APP = 128;
inline constexpr int IDI_NEW_RECORD = 129;
inline constexpr int IDI_CHANGE_RECORD = 130;
inline constexpr int IDI_BAR_TOP = 136;
inline constexpr int IDI_BAR_BOTTOM = 137;
inline constexpr int IDI_SETTINGS = 142;
inline constexpr int IDI_HELP = 143;
inline constexpr int IDI_ABOUT = 144;
inline constexpr int IDI_DELETE = 148;
inline constexpr int IDI_ARROW_DOWN = 158;
inline constexpr int IDI_ARROW_UP = 159;
inline constexpr int IDI_JOURNAL = 169;

// Bitmaps and cursor.
inline constexpr int IDB_CLOCKS = 171;
inline constexpr int IDB_MENU_JOURNAL = 173;
inline constexpr int IDB_MENU_EDITOR = 174;
inline constexpr int IDB_MENU_CURRENT = 175;
inline constexpr int IDB_MENU_EXIT = 176;
inline constexpr int IDC_HAND = 157;

// String table.
inline constexpr int IDS_WEB_ADDRESS = 9;

// Commands.
inline constexpr int ID_EDITOR = 32772;
inline constexpr int ID_CURRENT_MESSAGES = 32773;
inline constexpr int ID_EXIT = 32774;
inline constexpr int ID_JOURNAL = 32775;
inline constexpr int ID_CLEAR_ALL = 32776;

inline constexpr int ID_PANE_ADD = 0x1101;
inline constexpr int ID_PANE_MODIFY = 0x1102;
inline constexpr int ID_PANE_DELETE = 0x1103;
inline constexpr int ID_PANE_SETTINGS = 0x1104;
inline constexpr int ID_PANE_HELP = 0x1105;
inline constexpr int ID_PANE_ABOUT = 0x1106;

// Controls.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDC_STATIC = 0xFFFF;
inline constexpr int IDC_PANE = 100;

inline constexpr int IDC_EDITOR_TOPBAR = 1000;
inline constexpr int IDC_EDITOR_BOTTOMBAR = 1001;
inline constexpr int IDC_EDITOR_PANE = 1002;
inline constexpr int IDC_EDITOR_LIST = 1003;

inline constexpr int IDC_MODIFY_TEXT = 1004;
inline constexpr int IDC_MODIFY_DATE = 1006;
inline constexpr int IDC_MODIFY_BAR = 1012;
inline constexpr int IDC_MODIFY_TEXT_LABEL = 1029;
inline constexpr int IDC_MODIFY_DATE_LABEL = 1030;
inline constexpr int IDC_MODIFY_MODE_LABEL = 1031;
inline constexpr int IDC_MODE_DAILY = 2010;
inline constexpr int IDC_MODE_YEARLY = 2011;
inline constexpr int IDC_MODE_ONCE = 2012;
inline constexpr int IDC_MODE_MONTHLY = 2013;

inline constexpr int IDC_SETTINGS_DAYS = 1009;
inline constexpr int IDC_SETTINGS_BAR = 1014;
inline constexpr int IDC_SETTINGS_CONFIRM = 1016;
inline constexpr int IDC_SETTINGS_NOTIFY_LABEL = 1032;
inline constexpr int IDC_SETTINGS_CONFIRM_LABEL = 1033;
inline constexpr int IDC_SETTINGS_FOR = 1034;
inline constexpr int IDC_SETTINGS_DAYS_LABEL = 1035;

inline constexpr int IDC_ABOUT_BAR = 1013;
inline constexpr int IDC_ABOUT_TEXT = 1028;

inline constexpr int IDC_NOTIFY_LIST = 1021;
inline constexpr int IDC_JOURNAL_LIST = 1025;

} // namespace tovrin
