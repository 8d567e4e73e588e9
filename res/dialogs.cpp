#include "res/dialogs.h"

#include "res/resource.h"

#include <array>

namespace tovrin {
namespace {

using K = ControlKind;

// Every visible control is a child; placeholders for the kit's controls are hidden and disabled
// so they never take a click or the focus from the control drawn over them.
constexpr uint32_t kChild = WS_CHILD | WS_VISIBLE;
constexpr uint32_t kPlaceholder = WS_CHILD | WS_DISABLED;
constexpr uint32_t kPopup = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
constexpr uint32_t kPage = WS_CHILD | DS_CONTROL | DS_SETFONT;

// Editor window.
constexpr std::array kEditorControls{
    ControlTemplate{IDC_EDITOR_TOPBAR, K::Static, "IXStatic", {0, 0, 345, 17}, kPlaceholder, 0},
    ControlTemplate{
        IDC_EDITOR_BOTTOMBAR, K::Static, "IXStatic", {0, 182, 345, 17}, kPlaceholder, 0},
    ControlTemplate{
        IDC_EDITOR_PANE, K::Static, "IXCoolPane", {1, 19, 83, 161}, kPlaceholder | SS_SUNKEN, 0},
    ControlTemplate{IDC_EDITOR_LIST,
                    K::ListView,
                    "List1",
                    {88, 20, 257, 160},
                    kChild | WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS |
                        LVS_ALIGNLEFT,
                    WS_EX_STATICEDGE},
};

// Record edit page.
constexpr uint32_t kModeBox = kChild | WS_TABSTOP | BS_CHECKBOX | BS_FLAT;
constexpr std::array kModifyControls{
    ControlTemplate{IDC_MODIFY_BAR, K::Static, "IXStatic", {5, 7, 245, 16}, kPlaceholder, 0},
    ControlTemplate{IDC_MODIFY_TEXT_LABEL,
                    K::Static,
                    "Сообщение",
                    {10, 30, 80, 13},
                    kChild | SS_CENTER,
                    WS_EX_STATICEDGE},
    ControlTemplate{IDC_MODIFY_TEXT,
                    K::Edit,
                    "",
                    {95, 30, 145, 13},
                    kChild | WS_TABSTOP | ES_AUTOHSCROLL,
                    WS_EX_STATICEDGE},
    ControlTemplate{IDC_MODIFY_DATE_LABEL, K::Static, "Дата", {10, 55, 80, 15}, kChild, 0},
    ControlTemplate{IDC_MODIFY_DATE,
                    K::DateTimePicker,
                    "DateTimePicker1",
                    {95, 55, 132, 15},
                    kChild | WS_TABSTOP | DTS_LONGDATEFORMAT | DTS_RIGHTALIGN,
                    0},
    ControlTemplate{IDC_MODIFY_MODE_LABEL, K::Static, "Режим вывода", {10, 79, 80, 24}, kChild, 0},
    ControlTemplate{
        IDC_MODE_DAILY, K::Button, "Ежедневно по времени", {96, 78, 95, 10}, kModeBox, 0},
    ControlTemplate{IDC_MODE_YEARLY, K::Button, "Ежегодно", {194, 79, 49, 10}, kModeBox, 0},
    ControlTemplate{IDC_MODE_ONCE, K::Button, "По времени", {96, 93, 55, 10}, kModeBox, 0},
    ControlTemplate{IDC_MODE_MONTHLY, K::Button, "Ежемесячно", {194, 94, 59, 10}, kModeBox, 0},
    ControlTemplate{IDC_STATIC, K::Static, "", {1, 131, 255, 1}, kChild | SS_ETCHEDHORZ, 0},
    ControlTemplate{IDOK, K::Button, "ОК", {135, 140, 50, 14}, kChild | WS_TABSTOP, 0},
    ControlTemplate{IDCANCEL, K::Button, "Отмена", {195, 140, 50, 14}, kChild | WS_TABSTOP, 0},
};

// About page.
constexpr std::array kAboutControls{
    ControlTemplate{
        IDOK, K::Button, "OK", {191, 138, 50, 14}, kChild | WS_TABSTOP | BS_DEFPUSHBUTTON, 0},
    ControlTemplate{IDC_ABOUT_TEXT, K::Static, "Tovrin v3.3\n\n", {27, 36, 223, 29}, kChild, 0},
    ControlTemplate{IDC_ABOUT_BAR, K::Static, "IXStatic", {0, 0, 256, 16}, kPlaceholder, 0},
    ControlTemplate{IDC_STATIC, K::Static, "", {1, 131, 255, 1}, kChild | SS_ETCHEDHORZ, 0},
};

// Settings page.
constexpr std::array kSettingsControls{
    ControlTemplate{IDC_SETTINGS_BAR, K::Static, "IXStatic", {7, 7, 241, 16}, kPlaceholder, 0},
    ControlTemplate{IDC_SETTINGS_NOTIFY_LABEL,
                    K::Static,
                    "Оповещение пользователя",
                    {14, 38, 123, 15},
                    kChild | SS_CENTER,
                    WS_EX_STATICEDGE},
    ControlTemplate{IDC_SETTINGS_FOR, K::Static, "за", {146, 39, 9, 15}, kChild, 0},
    ControlTemplate{IDC_SETTINGS_DAYS,
                    K::Edit,
                    "",
                    {161, 39, 25, 15},
                    kChild | WS_TABSTOP | ES_NUMBER | ES_CENTER,
                    WS_EX_STATICEDGE},
    ControlTemplate{IDC_SETTINGS_DAYS_LABEL, K::Static, "дней", {192, 39, 45, 15}, kChild, 0},
    ControlTemplate{IDC_SETTINGS_CONFIRM_LABEL,
                    K::Static,
                    "Потверждение удаления",
                    {15, 63, 123, 18},
                    kChild | SS_CENTER,
                    WS_EX_STATICEDGE},
    ControlTemplate{IDC_SETTINGS_CONFIRM,
                    K::Button,
                    "",
                    {171, 69, 8, 8},
                    kChild | WS_TABSTOP | BS_AUTOCHECKBOX,
                    0},
    ControlTemplate{IDC_STATIC, K::Static, "", {1, 131, 254, 1}, kChild | SS_ETCHEDHORZ, 0},
    ControlTemplate{IDOK,
                    K::Button,
                    "Применить",
                    {198, 140, 50, 14},
                    kChild | WS_TABSTOP | BS_DEFPUSHBUTTON,
                    0},
};

// Current-messages window.
constexpr std::array kNotifyControls{
    ControlTemplate{IDC_NOTIFY_LIST,
                    K::ListView,
                    "List1",
                    {0, 19, 407, 163},
                    kChild | WS_TABSTOP | LVS_REPORT | LVS_OWNERDRAWFIXED | LVS_NOCOLUMNHEADER,
                    WS_EX_STATICEDGE},
};

// Main window: the journal.
constexpr std::array kManagerControls{
    ControlTemplate{IDC_JOURNAL_LIST,
                    K::ListView,
                    "List1",
                    {0, 0, 274, 95},
                    kChild | WS_TABSTOP | LVS_REPORT,
                    0},
};

const std::array kTemplates{
    DialogTemplate{IDD_EDITOR,
                   "Tovrin",
                   {0, 0, 346, 199},
                   kPopup | WS_VISIBLE | DS_CENTER,
                   0,
                   "MS Sans Serif",
                   8,
                   kEditorControls},
    DialogTemplate{IDD_MODIFY, "", {0, 0, 256, 156}, kPage, 0, "MS Sans Serif", 8, kModifyControls},
    DialogTemplate{IDD_ABOUT, "", {0, 0, 256, 156}, kPage, 0, "MS Sans Serif", 8, kAboutControls},
    DialogTemplate{
        IDD_SETTINGS, "", {0, 0, 255, 156}, kPage, 0, "MS Sans Serif", 8, kSettingsControls},
    DialogTemplate{IDD_NOTIFY,
                   "Tovrin v3.3",
                   {0, 0, 408, 183},
                   kPopup | DS_CENTER,
                   0,
                   "MS Sans Serif",
                   8,
                   kNotifyControls},
    DialogTemplate{IDD_MANAGER,
                   "Журнал",
                   {0, 0, 274, 95},
                   kPopup,
                   IDR_JOURNAL_MENU,
                   "MS Sans Serif",
                   8,
                   kManagerControls},
};

} // namespace

const DialogTemplate* FindDialogTemplate(int id) {
    for (const DialogTemplate& t : kTemplates) {
        if (t.id == id) {
            return &t;
        }
    }
    return nullptr;
}

std::span<const DialogTemplate> AllDialogTemplates() {
    return kTemplates;
}

} // namespace tovrin
