#include "ui/settings_page.h"

#include "controls/static_bar.h"
#include "core/lang/lang_keys.h"
#include "core/store/settings.h"
#include "platform/check_box.h"
#include "platform/edit_control.h"
#include "platform/message_box.h"
#include "res/resource.h"
#include "ui/page_host.h"

namespace tovrin {
namespace {

constexpr QPoint kPagePlace(136, 34);
constexpr long kCaptionKey = 1;

} // namespace

CSettingsPage::CSettingsPage(QWidget* parent) {
    Create(IDD_SETTINGS, parent);
}

CSettingsPage::~CSettingsPage() {
    DestroyWindow();
}

bool CSettingsPage::OnInitDialog() {
    texts_ = LoadSectionTexts(kLangSettings, {1, 2, 3, 4, 5, 6});
    added_ = AddedTexts(kLangSettings, {kSettingsNotKept});
    SetDlgItemText(IDC_SETTINGS_NOTIFY_LABEL, texts_[2]);
    SetDlgItemText(IDC_SETTINGS_CONFIRM_LABEL, texts_[3]);
    SetDlgItemText(IDC_SETTINGS_FOR, texts_[4]);
    SetDlgItemText(IDC_SETTINGS_DAYS_LABEL, texts_[5]);
    SetDlgItemText(IDOK, texts_[6]);
    move(kPagePlace);
    caption_ = new IXStatic(IDC_SETTINGS_BAR);
    caption_->SetIcon(IDI_SETTINGS);
    caption_->Create(texts_[kCaptionKey], QRect(), Client(), IDC_STATIC);
    SetKeyFilter(true);

    // One digit is all the field takes; a longer count written by hand into the settings file
    // is shown whole rather than cut, so applying never changes a value the user did not touch.
    const QString days = QString::number(notifyDays);
    auto* field = GetDlgItemAs<EditControl>(IDC_SETTINGS_DAYS);
    field->LimitText(static_cast<int>(days.size()));
    field->setText(days);
    CheckDlgButton(IDC_SETTINGS_CONFIRM, confirmDelete != 0 ? BST_CHECKED : BST_UNCHECKED);
    return true;
}

void CSettingsPage::OnCommand(int id) {
    if (id == IDC_SETTINGS_CONFIRM) {
        // At once, for this run: the next delete asks or not even if Apply is never pressed.
        confirmDelete = confirmDelete == 0 ? 1 : 0;
        return;
    }
    Dialog::OnCommand(id);
}

void CSettingsPage::OnOK() {
    QWidget* parent = parentWidget();
    if (auto* host = parent != nullptr ? dynamic_cast<PageHost*>(parent->window()) : nullptr) {
        host->OnPageClosed();
    }
    bool ok = false;
    const uint days = GetDlgItemText(IDC_SETTINGS_DAYS).toUInt(&ok);
    notifyDays = ok ? days : 0;
    const SaveResult saved = SaveSettings();
    if (!saved) {
        MessageBox(this,
                   QString::fromStdString(saved.Message()) + QStringLiteral("\n\n") +
                       added_.Text(kSettingsNotKept,
                                   QStringLiteral("The new settings are in force until Tovrin "
                                                  "ends, but will not be there when it starts "
                                                  "again.")),
                   texts_[kCaptionKey], MB_OK | MB_ICONERROR);
    }
    Dialog::OnOK();
}

} // namespace tovrin
