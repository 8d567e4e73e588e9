#include "ui/modify_page.h"

#include "controls/static_bar.h"
#include "core/lang/lang_keys.h"
#include "core/schedule/clock.h"
#include "platform/check_box.h"
#include "platform/date_time_picker.h"
#include "platform/edit_control.h"
#include "platform/text.h"
#include "res/resource.h"
#include "ui/cp1251_validator.h"
#include "ui/page_host.h"

#include <QToolTip>

#include <algorithm>
#include <array>

namespace tovrin {
namespace {

constexpr QPoint kPagePlace(136, 34);
constexpr QRect kCaptionRect(8, 11, 368, 26);

// Keys of section "Modify".
constexpr long kNewCaption = 1;
constexpr long kInitialText = 2;

constexpr std::array kModeBoxes{IDC_MODE_DAILY, IDC_MODE_YEARLY, IDC_MODE_ONCE, IDC_MODE_MONTHLY};

// Labels and buttons in the order keys 3 to 11 name them.
constexpr std::array kLabelled{IDC_MODIFY_TEXT_LABEL,
                               IDC_MODIFY_DATE_LABEL,
                               IDC_MODIFY_MODE_LABEL,
                               IDC_MODE_DAILY,
                               IDC_MODE_YEARLY,
                               IDC_MODE_ONCE,
                               IDC_MODE_MONTHLY,
                               IDOK,
                               IDCANCEL};

bool IsModeBox(int id) {
    return id >= IDC_MODE_DAILY && id <= IDC_MODE_MONTHLY;
}

} // namespace

const QString CModifyPage::kTimeFormat = QStringLiteral("H:mm");
const QString CModifyPage::kOnceFormat = QStringLiteral("H:mm d MMMM yyy");
const QString CModifyPage::kOnceTypedFormat = QStringLiteral("H:mm d MMMM yyy г.");
const QString CModifyPage::kDateFormat = QStringLiteral("d MMMM yyy г.");

CModifyPage::CModifyPage(QWidget* parent) {
    loaded_.mode = -1;
    texts_ = LoadSectionTexts(kLangModify, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11});
    // "г." unless the language file says otherwise: an older file keeps what it always showed.
    added_ = AddedTexts(kLangModify, {kModifyYearSuffix, kModifyRefused});
    const QString suffix = added_.Text(kModifyYearSuffix, QStringLiteral("г."));
    onceTypedFormat_ = WithYearSuffix(kOnceFormat, suffix);
    dateFormat_ = WithYearSuffix(QStringLiteral("d MMMM yyy"), suffix);
    Create(IDD_MODIFY, parent);
}

QString CModifyPage::WithYearSuffix(const QString& format, const QString& suffix) {
    if (suffix.isEmpty()) {
        return format;
    }
    const bool quote = std::any_of(suffix.begin(), suffix.end(), [](QChar c) {
        return c == u'\'' || (c.unicode() < 0x80 && c.isLetter());
    });
    if (!quote) {
        return format + u' ' + suffix;
    }
    QString quoted = suffix;
    quoted.replace(QStringLiteral("'"), QStringLiteral("''"));
    return format + QStringLiteral(" '") + quoted + u'\'';
}

CModifyPage::~CModifyPage() {
    DestroyWindow();
}

PageHost* CModifyPage::Host() const {
    QWidget* parent = parentWidget();
    // The editor's controls may sit in a client area below its menu; the host is the window.
    return parent != nullptr ? dynamic_cast<PageHost*>(parent->window()) : nullptr;
}

DateTimePicker* CModifyPage::Picker() const {
    return GetDlgItemAs<DateTimePicker>(IDC_MODIFY_DATE);
}

EditControl* CModifyPage::MessageField() const {
    return GetDlgItemAs<EditControl>(IDC_MODIFY_TEXT);
}

bool CModifyPage::OnInitDialog() {
    for (std::size_t i = 0; i < kLabelled.size(); ++i) {
        SetDlgItemText(kLabelled[i], texts_[static_cast<long>(i) + 3]);
    }
    move(kPagePlace);
    caption_ = new IXStatic();
    caption_->SetIcon(IDI_NEW_RECORD);
    caption_->Create(texts_[kNewCaption], kCaptionRect, Client(), IDC_STATIC);
    // A stray Enter would store a half-written reminder, or overwrite one, and a stray Escape
    // would throw the typing away: both stay ordinary keys. OK and Cancel take a click or Space.
    SetKeyFilter(true);
    SetArrowGroup({kModeBoxes.begin(), kModeBoxes.end()});

    EditControl* field = MessageField();
    // Read aloud by the labels beside them.
    field->setAccessibleName(texts_[3]);
    Picker()->setAccessibleName(texts_[4]);
    auto* validator = new Cp1251Validator(field);
    connect(validator, &Cp1251Validator::refused, this,
            [this](const QString& characters) { ShowRefused(characters); });
    field->setValidator(validator);
    field->LimitText(static_cast<int>(kMaxTextLength));
    field->SetText(texts_[kInitialText]);
    // Typing replaces the suggested text at once.
    field->SetSel(0, -1);
    field->setFocus(Qt::OtherFocusReason);
    for (int box : kModeBoxes) {
        CheckDlgButton(box, BST_UNCHECKED);
    }
    return false;
}

void CModifyPage::ShowRefused(const QString& characters) {
    EditControl* field = MessageField();
    const QString hint =
        added_
            .Text(kModifyRefused, QStringLiteral("Left out: %1\nA reminder keeps Latin and "
                                                 "Cyrillic letters,\ndigits and common signs "
                                                 "only."))
            .arg(characters);
    QToolTip::showText(field->mapToGlobal(QPoint(0, field->height())), hint, field);
    field->setToolTip(hint);
}

void CModifyPage::SetCaption(const QString& text, int iconId) {
    caption_->SetIcon(iconId);
    caption_->SetWindowText(text);
    caption_->update();
}

void CModifyPage::CheckMode(int box) {
    CheckRadioButton(IDC_MODE_DAILY, IDC_MODE_MONTHLY, box);
}

void CModifyPage::OnRecord(const ReminderRecord& record) {
    loaded_ = record;
    EditControl* field = MessageField();
    // A longer text from another copy's store shows whole, so OK hands back what was stored; the
    // limit holds only for typing.
    field->LimitText(static_cast<int>(kMaxTextLength));
    field->SetText(FromCp1251(TextOf(record)));
    DateTimePicker* picker = Picker();
    picker->SetSystemTime(record.when);
    switch (record.mode) {
    case MODE_DAILY:
        picker->SetFormat(kTimeFormat);
        picker->SetSystemTime(record.when);
        CheckMode(IDC_MODE_DAILY);
        break;
    case MODE_YEARLY:
        CheckMode(IDC_MODE_YEARLY);
        break;
    case MODE_MONTHLY:
        CheckMode(IDC_MODE_MONTHLY);
        break;
    case MODE_ONCE:
        picker->SetFormat(kOnceFormat);
        picker->SetSystemTime(record.when);
        CheckMode(IDC_MODE_ONCE);
        break;
    default:
        for (int box : kModeBoxes) {
            CheckDlgButton(box, BST_UNCHECKED);
        }
        break;
    }
}

void CModifyPage::OnCommand(int id) {
    if (IsModeBox(id)) {
        ModeClicked(id);
        return;
    }
    Dialog::OnCommand(id);
}

void CModifyPage::ModeClicked(int box) {
    const bool nowChecked = IsDlgButtonChecked(box) != BST_CHECKED;
    if (nowChecked) {
        CheckMode(box);
    } else {
        CheckDlgButton(box, BST_UNCHECKED);
    }
    DateTimePicker* picker = Picker();
    if (box == IDC_MODE_YEARLY || box == IDC_MODE_MONTHLY) {
        picker->SetFormat(dateFormat_);
        return;
    }
    if (nowChecked) {
        picker->SetFormat(box == IDC_MODE_DAILY ? kTimeFormat : onceTypedFormat_);
        picker->SetSystemTime(GetLocalTime());
        return;
    }
    picker->SetFormat(dateFormat_);
    if (loaded_.mode != -1) {
        picker->SetSystemTime(loaded_.when);
    }
}

ReminderRecord CModifyPage::BuildRecord() const {
    ReminderRecord record;
    SetText(record, ToCp1251(MessageField()->text()), kTextFieldSize - 1);
    record.when = Picker()->GetSystemTime();
    record.mode = MODE_NONE;
    // Tested in this order, the last match winning; at most one box is ever checked.
    if (IsDlgButtonChecked(IDC_MODE_ONCE) == BST_CHECKED) {
        record.mode = MODE_ONCE;
    }
    if (IsDlgButtonChecked(IDC_MODE_YEARLY) == BST_CHECKED) {
        record.mode = MODE_YEARLY;
    }
    if (IsDlgButtonChecked(IDC_MODE_MONTHLY) == BST_CHECKED) {
        record.mode = MODE_MONTHLY;
    }
    if (IsDlgButtonChecked(IDC_MODE_DAILY) == BST_CHECKED) {
        record.mode = MODE_DAILY;
    }
    record.state = 0;
    return record;
}

void CModifyPage::OnOK() {
    const ReminderRecord record = BuildRecord();
    PageHost* host = Host();
    if (host != nullptr) {
        host->OnRecord(record);
    }
    hide();
    setEnabled(false);
    if (host != nullptr) {
        host->OnPageClosed();
    }
    Dialog::OnOK();
}

void CModifyPage::OnCancel() {
    hide();
    setEnabled(false);
    if (PageHost* host = Host()) {
        host->OnPageClosed();
    }
    Dialog::OnCancel();
}

} // namespace tovrin
