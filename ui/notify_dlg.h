#pragma once

#include "core/draw/blend_color.h"
#include "core/schedule/due_list.h"
#include "core/schedule/notify_rows.h"
#include "core/store/reminder_record.h"
#include "platform/dialog.h"
#include "platform/lang_texts.h"

#include <QFont>
#include <QIcon>

#include <vector>

class QPainter;

namespace tovrin {

class IXStatic;
class ListView;

// The current messages: every dated reminder due today or within the advance notice, under one
// header per day. The window decides while it is being created whether anything is due; when
// nothing is, it stays hidden and says so, and its owner throws it away. Its rows are fixed for
// its life: a new day, an edit or a new advance notice shows in the next window, not this one.
class CNotifyDlg : public Dialog {
    Q_OBJECT
public:
    static constexpr int kRowHeight = 32;
    static constexpr int kCaptionHeight = 26;

    explicit CNotifyDlg(QWidget* parent);
    ~CNotifyDlg() override;

    // Reads what is due; when something is, builds the window from its template with parent as
    // owner and shows it. With nothing due no window is made (NothingDue() then says so).
    bool Create(QWidget* parent);
    // The same with the due list already read (at start-up, in the read that also gathers
    // today's timed list), as BuildDueList gives it for `today` and the advance notice.
    bool Create(QWidget* parent, DueList due, const SYSTEMTIME& today);

    // Read by the owner right after Create.
    int NothingDue() const { return nothingDue_; }
    int DueCount() const { return dueCount_; }

    const std::vector<NotifyRow>& Rows() const { return rows_; }
    ListView* List() const { return list_; }
    IXStatic* CaptionBar() const { return captionBar_; }
    const QFont& HeaderFont() const { return headerFont_; }
    const QFont& MessageFont() const { return messageFont_; }

    // One row as the list shows it: a gradient from the row's colour at the left into the button
    // face at the right, and the text centred at the top in its font and colour.
    static void DrawRow(QPainter& painter, const QRect& rect, const QString& text, bool header,
                        const QFont& headerFont, const QFont& messageFont, COLORREF face);

protected:
    bool OnInitDialog() override;
    void OnDestroy() override;
    void OnClose() override;

private:
    using Dialog::Create;

    void PrepareList();
    void FillRows();

    IXStatic* captionBar_ = nullptr;
    std::uint32_t recordCount_ = 0;
    ListView* list_ = nullptr;
    QFont headerFont_;
    QFont messageFont_;
    int nothingDue_ = 0;
    int dueCount_ = 0;
    QIcon icon_;
    std::vector<ReminderRecord> dueList_;
    std::vector<NotifyRow> rows_;
    LangTexts texts_; // section Notify, keys 1 and 2
    SYSTEMTIME today_{};
};

} // namespace tovrin
