#include "ui/settings_page.h"

#include "controls/static_bar.h"
#include "core/lang/lang_keys.h"
#include "core/store/settings.h"
#include "platform/check_box.h"
#include "platform/edit_control.h"
#include "platform/message_box.h"
#include "res/resource.h"
#include "ui/page_host.h"

#include <QValidator>

#include <algorithm>
#include <utility>

namespace tovrin {
namespace {

constexpr QPoint kPagePlace(136, 34);
constexpr long kCaptionKey = 1;

// The day field takes one typed digit. A longer count written into the settings file by other
// means is shown whole and may stay as it is; deleting some of its digits is the user's own edit,
// but typing never makes a longer count: accepted are one digit, nothing, or what is left of the
// shown value after deletions.
class DayCountValidator final : public QValidator {
public:
    DayCountValidator(QString shown, QObject* parent)
        : QValidator(parent), shown_(std::move(shown)) {}

    State validate(QString& input, int& /*position*/) const override {
        const bool digits = std::all_of(input.cbegin(), input.cend(),
                                        [](QChar c) { return c >= u'0' && c <= u'9'; });
        return digits && (input.size() <= 1 || LeftAfterDeleting(input)) ? Acceptable : Invalid;
    }

private:
    bool LeftAfterDeleting(const QString& input) const {
        qsizetype at = 0;
        for (const QChar c : shown_) {
            if (at < input.size() && input[at] == c) {
                ++at;
            }
        }
        return at == input.size();
    }

    QString shown_;
};

} // namespace

CSettingsPage::CSettingsPage(QWidget* parent) {
    Create(IDD_SETTINGS, parent);
}

CSettingsPage::~CSettingsPage() {
    DestroyWindow();
}

bool CSettingsPage::OnInitDialog() {
    texts_ = LoadSectionTexts(kLangSettings, {1, 2, 3, 4, 5, 6});
    added_ = AddedTexts(kLangSettings, {kSettingsNotKept, kSettingsUnconfirmed});
    saveTexts_ = LoadSaveTexts();
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

    // A longer count from the file is shown whole rather than cut, so applying never changes a
    // value the user did not touch; the validator keeps typing to one digit.
    shownDays_ = QString::number(notifyDays);
    auto* field = GetDlgItemAs<EditControl>(IDC_SETTINGS_DAYS);
    field->setValidator(new DayCountValidator(shownDays_, field));
    field->LimitText(std::max(1, static_cast<int>(shownDays_.size())));
    field->setText(shownDays_);
    CheckDlgButton(IDC_SETTINGS_CONFIRM, confirmDelete != 0 ? BST_CHECKED : BST_UNCHECKED);
    // Read aloud by the statics beside them; the box has no text of its own.
    field->setAccessibleName(texts_[2]);
    if (QWidget* box = GetDlgItem(IDC_SETTINGS_CONFIRM)) {
        box->setAccessibleName(texts_[3]);
    }
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
    // The page is gone and the list back before the file is written, so a box about the write
    // stands over the list, not over the page.
    hide();
    QWidget* parent = parentWidget();
    if (auto* host = parent != nullptr ? dynamic_cast<PageHost*>(parent->window()) : nullptr) {
        host->OnPageClosed();
    }
    const QString typed = GetDlgItemText(IDC_SETTINGS_DAYS);
    // The value as shown stays exactly what it was. Anything else is one digit or fewer digits
    // than a count the file held, so it always fits; an empty field means 0.
    if (typed != shownDays_) {
        notifyDays = typed.isEmpty() ? 0 : typed.toUInt();
    }
    const SaveResult saved = SaveSettings();
    if (!saved) {
        // Past the rename the file holds the new settings: saying they are lost would be wrong.
        const QString outcome =
            saved.FileReplaced()
                ? added_.Text(kSettingsUnconfirmed,
                              QStringLiteral("The new settings are in the file and in force, but "
                                             "a system crash soon could still undo them."))
                : added_.Text(kSettingsNotKept,
                              QStringLiteral("The new settings are in force until Tovrin ends, "
                                             "but will not be there when it starts again."));
        // Drawn whole now: the box takes the keys and the screen at once, and the list would
        // otherwise wait behind it with the page's last picture still on top.
        if (parent != nullptr) {
            parent->window()->repaint();
        }
        MessageBox(this,
                   QString::fromStdString(saved.Message(saveTexts_)) + QStringLiteral("\n\n") +
                       outcome,
                   texts_[kCaptionKey],
                   saved.FileReplaced() ? MB_OK | MB_ICONWARNING : MB_OK | MB_ICONERROR);
    }
    Dialog::OnOK();
}

} // namespace tovrin
