#pragma once

#include <cstdint>

// Style bits of windows and controls, with the numbers the dialog templates have always carried,
// so a template reads the same here as in any resource script. Only what the program's templates
// and windows use is here.
namespace tovrin {

// Windows.
inline constexpr uint32_t WS_POPUP = 0x80000000;
inline constexpr uint32_t WS_CHILD = 0x40000000;
inline constexpr uint32_t WS_VISIBLE = 0x10000000;
inline constexpr uint32_t WS_DISABLED = 0x08000000;
inline constexpr uint32_t WS_CAPTION = 0x00C00000;
inline constexpr uint32_t WS_BORDER = 0x00800000;
inline constexpr uint32_t WS_DLGFRAME = 0x00400000;
inline constexpr uint32_t WS_VSCROLL = 0x00200000;
inline constexpr uint32_t WS_HSCROLL = 0x00100000;
inline constexpr uint32_t WS_SYSMENU = 0x00080000;
inline constexpr uint32_t WS_GROUP = 0x00020000;
inline constexpr uint32_t WS_TABSTOP = 0x00010000;
inline constexpr uint32_t WS_MINIMIZEBOX = 0x00020000;
inline constexpr uint32_t WS_MAXIMIZEBOX = 0x00010000;

inline constexpr uint32_t WS_EX_CLIENTEDGE = 0x00000200;
inline constexpr uint32_t WS_EX_STATICEDGE = 0x00020000;

// Dialogs.
inline constexpr uint32_t DS_SETFONT = 0x0040;
inline constexpr uint32_t DS_MODALFRAME = 0x0080;
inline constexpr uint32_t DS_CONTROL = 0x0400;
inline constexpr uint32_t DS_CENTER = 0x0800;

// Statics.
inline constexpr uint32_t SS_LEFT = 0x0000;
inline constexpr uint32_t SS_CENTER = 0x0001;
inline constexpr uint32_t SS_RIGHT = 0x0002;
inline constexpr uint32_t SS_LEFTNOWORDWRAP = 0x000C;
inline constexpr uint32_t SS_ETCHEDHORZ = 0x0010;
inline constexpr uint32_t SS_TYPEMASK = 0x001F;
inline constexpr uint32_t SS_NOPREFIX = 0x0080;
inline constexpr uint32_t SS_SUNKEN = 0x1000;

// Edits.
inline constexpr uint32_t ES_LEFT = 0x0000;
inline constexpr uint32_t ES_CENTER = 0x0001;
inline constexpr uint32_t ES_RIGHT = 0x0002;
inline constexpr uint32_t ES_AUTOHSCROLL = 0x0080;
inline constexpr uint32_t ES_READONLY = 0x0800;
inline constexpr uint32_t ES_NUMBER = 0x2000;

// Buttons.
inline constexpr uint32_t BS_PUSHBUTTON = 0x0000;
inline constexpr uint32_t BS_DEFPUSHBUTTON = 0x0001;
inline constexpr uint32_t BS_CHECKBOX = 0x0002;
inline constexpr uint32_t BS_AUTOCHECKBOX = 0x0003;
inline constexpr uint32_t BS_TYPEMASK = 0x000F;
inline constexpr uint32_t BS_FLAT = 0x8000;

// List views.
inline constexpr uint32_t LVS_REPORT = 0x0001;
inline constexpr uint32_t LVS_SINGLESEL = 0x0004;
inline constexpr uint32_t LVS_SHOWSELALWAYS = 0x0008;
inline constexpr uint32_t LVS_OWNERDRAWFIXED = 0x0400;
inline constexpr uint32_t LVS_ALIGNLEFT = 0x0800;
inline constexpr uint32_t LVS_NOCOLUMNHEADER = 0x4000;
inline constexpr uint32_t LVS_NOSORTHEADER = 0x8000;

inline constexpr uint32_t LVS_EX_GRIDLINES = 0x0001;
inline constexpr uint32_t LVS_EX_FULLROWSELECT = 0x0020;
inline constexpr uint32_t LVS_EX_FLATSB = 0x0100;

// Date-time pickers.
inline constexpr uint32_t DTS_UPDOWN = 0x0001;
inline constexpr uint32_t DTS_SHOWNONE = 0x0002;
inline constexpr uint32_t DTS_SHORTDATEFORMAT = 0x0000;
inline constexpr uint32_t DTS_LONGDATEFORMAT = 0x0004;
inline constexpr uint32_t DTS_TIMEFORMAT = 0x0009;
inline constexpr uint32_t DTS_RIGHTALIGN = 0x0020;

// ShowWindow commands.
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOW = 5;

} // namespace tovrin
