#include "ui/notify_dlg.h"

#include "controls/static_bar.h"
#include "controls/sys_colors.h"
#include "core/draw/contrast.h"
#include "core/lang/lang_keys.h"
#include "core/lang/names.h"
#include "core/schedule/clock.h"
#include "core/schedule/date_math.h"
#include "core/schedule/due_list.h"
#include "core/store/paths.h"
#include "core/store/settings.h"
#include "platform/fonts.h"
#include "platform/lang_texts.h"
#include "platform/list_view.h"
#include "platform/resources.h"
#include "platform/sys_colors.h"
#include "platform/text.h"
#include "res/resource.h"
#include "res/window_styles.h"
#include "ui/store_damage.h"

#include <QPainter>

namespace tovrin {
namespace {

constexpr int kStrips = 128;
constexpr COLORREF kHeaderText = MakeColorRef(255, 0, 0);
constexpr COLORREF kMessageText = MakeColorRef(0, 128, 0);
// The list's only column stops short of the right edge, so no scroll bar appears for it.
constexpr int kColumnMargin = 5;
// On a dark or high-contrast desktop the red and the green go light enough to stand this far from
// the face, and the band darkens, strip by strip, only as far as the text needs: still a band of
// the row's colour fading into the face.
constexpr double kTextOnFace = 11.0;

COLORREF StripColor(COLORREF strip, COLORREF text, bool contrast) {
    return contrast ? ReadableOn(strip, {text}, kTextContrast) : strip;
}

} // namespace

CNotifyDlg::CNotifyDlg(QWidget* parent) : Dialog(parent) {
    // Neither Enter nor Escape closes the list the user is reading.
    SetKeyFilter(true);
}

CNotifyDlg::~CNotifyDlg() {
    DestroyWindow();
}

// What is due is known before any widget is made: with nothing to show, the window is never built
// and the owner, told so, throws the object away.
bool CNotifyDlg::Create(QWidget* parent) {
    const SYSTEMTIME today = TodayOf(GetLocalTime());
    return Create(parent, BuildDueList(kStorePath, IfMissing::CreateEmpty, today, notifyDays),
                  today);
}

bool CNotifyDlg::Create(QWidget* parent, DueList due, const SYSTEMTIME& today) {
    texts_ = LoadSectionTexts(kLangNotify, {1, 2});
    today_ = TodayOf(today);
    ReportDamagedStore(due.report);
    recordCount_ = due.report.declaredCount;
    dueList_ = std::move(due.records);
    if (dueList_.empty()) {
        nothingDue_ = 1;
        return true;
    }
    dueCount_ = static_cast<int>(dueList_.size());
    return Dialog::Create(IDD_NOTIFY, parent);
}

bool CNotifyDlg::OnInitDialog() {
    setWindowTitle(texts_[2]);
    icon_ = LoadIconResource(IDI_APP);
    SetIcon(icon_, true);
    SetIcon(icon_, false);

    captionBar_ = new IXStatic();
    captionBar_->SetIcon(IDI_BAR_TOP);
    captionBar_->Create(texts_[1], QRect(0, 0, Client()->width(), kCaptionHeight), Client());

    PrepareList();
    FillRows();

    headerFont_ = CreateFont(-23, FW_THIN, QStringLiteral("Times New Roman"));
    messageFont_ = CreateFont(-14, FW_BOLD, QStringLiteral("Times New Roman"));
    show();
    return true;
}

void CNotifyDlg::PrepareList() {
    list_ = GetDlgItemAs<ListView>(IDC_NOTIFY_LIST);
    if (list_ == nullptr) {
        return;
    }
    list_->SetExtendedStyle(LVS_EX_FLATSB);
    // Named as the caption bar above it; its day headers are read as headings.
    list_->setAccessibleName(texts_[1]);
    list_->SetRowRoles([list = list_](int row) {
        return list->GetItemData(row) != 0 ? QAccessible::Heading : QAccessible::StaticText;
    });
    list_->InsertColumn(0, QString(), LVCFMT_LEFT);
    list_->SetColumnWidth(0, Client()->width() - kColumnMargin);
    // The colour of the moment, not the program-wide table read at start-up.
    list_->SetBkColor(ToQColor(CSysColors().face));
    list_->SetOwnerDraw(kRowHeight,
                        [this](QPainter& painter, const QRect& rect, int row, quintptr data) {
                            DrawRow(painter, rect, list_->GetItemText(row, 0), data != 0,
                                    headerFont_, messageFont_, CSysColors().face);
                        });
}

void CNotifyDlg::FillRows() {
    // Each prefix and name is looked up when a header first needs it and kept for the whole
    // window, so a missing one costs the user one box, not one per row, and one no header needs
    // costs nothing.
    const NotifyPrefixes prefixes(
        LazyLangSection(kLangPath, kLangNotify, {3, 4, 5}, WindowLangFeedback()));
    const NameTable names(kLangPath, WindowLangFeedback());

    rows_ = BuildNotifyRows(dueList_, today_, notifyDays, prefixes, names);
    if (list_ == nullptr) {
        return;
    }
    list_->ReserveItems(static_cast<int>(rows_.size()));
    for (const NotifyRow& row : rows_) {
        list_->InsertItem(list_->GetItemCount(), FromCp1251(row.text), ListView::kNoImage,
                          row.header ? 1 : 0);
    }
}

void CNotifyDlg::DrawRow(QPainter& painter, const QRect& rect, const QString& text, bool header,
                         const QFont& headerFont, const QFont& messageFont, COLORREF face) {
    const bool contrast = ContrastWanted();
    const COLORREF fixed = header ? kHeaderText : kMessageText;
    const COLORREF ink = contrast ? ReadableOn(fixed, {face}, kTextOnFace) : fixed;
    const float step = static_cast<float>(rect.width()) / kStrips;
    for (int i = 0; i < kStrips; ++i) {
        const int from = static_cast<int>(static_cast<float>(i) * step);
        const int to = static_cast<int>(static_cast<float>(i + 1) * step);
        const COLORREF base =
            header ? MakeColorRef(255, 255, 128 + i) : MakeColorRef(128 + i, 128 + i, 255);
        const int percent = static_cast<int>(100.0f - static_cast<float>(i) * 0.78125f);
        if (to > from) {
            painter.fillRect(QRect(from, rect.top(), to - from, rect.height()),
                             ToQColor(StripColor(BlendColor(base, face, percent), ink, contrast)));
        }
    }
    painter.setFont(header ? headerFont : messageFont);
    painter.setPen(ToQColor(ink));
    // Centred across, from the top down, on one line: what does not fit is cut at the row's edges.
    painter.save();
    painter.setClipRect(rect, Qt::IntersectClip);
    painter.drawText(rect, Qt::AlignHCenter | Qt::AlignTop, text);
    painter.restore();
}

void CNotifyDlg::OnDestroy() {
    headerFont_ = QFont();
    messageFont_ = QFont();
    dueList_.clear();
}

void CNotifyDlg::OnClose() {
    DestroyWindow();
}

} // namespace tovrin
