#pragma once

#include "core/store/reminder_record.h"
#include "platform/dialog.h"
#include "platform/lang_texts.h"

#include <QString>

namespace tovrin {

class DateTimePicker;
class EditControl;
class IXStatic;
class PageHost;

// The form for one reminder: its text, its date and time, and four mode boxes of which at most
// one is checked (clicking the checked one unchecks it). OK hands the finished record to the
// editor; nothing is checked or refused here, an empty text or a past date included.
class CModifyPage final : public Dialog {
    Q_OBJECT
public:
    // Builds the page, hidden, inside parent (the editor) at its place over the list. The parent
    // is the PageHost told of the record and of the page's closing.
    explicit CModifyPage(QWidget* parent);
    ~CModifyPage() override;

    // The caption bar's text and icon, for a page that changes an existing record.
    void SetCaption(const QString& text, int iconId);
    // Loads an existing record into the form.
    void OnRecord(const ReminderRecord& record);

    // The record loaded into the form; mode -1 while none is.
    const ReminderRecord& LoadedRecord() const { return loaded_; }
    IXStatic* Caption() const { return caption_; }
    DateTimePicker* Picker() const;
    EditControl* MessageField() const;

    // The picker's display formats, written the classic way.
    static const QString kTimeFormat;      // a daily record
    static const QString kOnceFormat;      // a once record as loaded
    static const QString kOnceTypedFormat; // once, checked by hand
    static const QString kDateFormat;      // yearly, monthly, or a box unchecked
    // A picker format with the language's year suffix after it (none when the suffix is empty);
    // a suffix with Latin letters is quoted, so none of them is read as a date field.
    static QString WithYearSuffix(const QString& format, const QString& suffix);

protected:
    bool OnInitDialog() override;
    void OnCommand(int id) override;
    void OnOK() override;
    void OnCancel() override;

private:
    void ModeClicked(int box);
    void CheckMode(int box);
    void ShowRefused(const QString& characters);
    ReminderRecord BuildRecord() const;
    PageHost* Host() const;

    LangTexts texts_;
    AddedTexts added_;
    // kOnceTypedFormat and kDateFormat with this language's year suffix.
    QString onceTypedFormat_;
    QString dateFormat_;
    IXStatic* caption_ = nullptr;
    ReminderRecord loaded_{};
};

} // namespace tovrin
