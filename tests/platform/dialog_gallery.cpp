// Shows every dialog template built bare, at fixed places of a 1280 x 1024 screen, for looking at
// the layouts under Xvfb:  dialog_gallery [--fill] [template id ...]
// --fill also gives the lists columns and rows, and the picker a time format, so those controls
// can be judged with something in them.
#include "platform/date_time_picker.h"
#include "platform/dialog.h"
#include "platform/list_view.h"
#include "res/resource.h"
#include "res/window_styles.h"

#include <QApplication>
#include <QPainter>

#include <map>
#include <memory>
#include <vector>

using namespace tovrin;

namespace {

const std::map<int, QPoint> kPlaces{
    {IDD_EDITOR, {0, 0}},   {IDD_NOTIFY, {540, 0}},     {IDD_MANAGER, {540, 320}},
    {IDD_MODIFY, {0, 350}}, {IDD_SETTINGS, {400, 620}}, {IDD_ABOUT, {0, 620}},
};

void Fill(Dialog& d) {
    if (auto* list = d.GetDlgItemAs<ListView>(IDC_EDITOR_LIST)) {
        list->SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_FLATSB);
        list->InsertColumn(0, QString::fromUtf8("Дата"));
        list->InsertColumn(1, QString::fromUtf8("Сообщение"));
        list->SetColumnWidth(0, 80);
        list->SetColumnWidth(1, 305);
        QPixmap strip(16, 8);
        strip.fill(Qt::white);
        QPainter p(&strip);
        p.setPen(Qt::black);
        p.drawEllipse(0, 0, 7, 7);
        p.setPen(Qt::blue);
        p.drawEllipse(8, 0, 7, 7);
        p.end();
        list->SetImageList(strip, 8, Qt::white);
        const char* texts[] = {"Позвонить маме", "Заплатить за квартиру", "День рождения Ани"};
        for (int i = 0; i < 12; ++i) {
            const int row = list->InsertItem(i, QString("%1 мая").arg(i + 1, 2, 10, QChar('0')),
                                             i % 3 == 2 ? ListView::kNoImage : i % 3);
            list->SetItemText(row, 1, QString::fromUtf8(texts[i % 3]));
        }
        list->SelectRow(1);
    }
    if (auto* list = d.GetDlgItemAs<ListView>(IDC_JOURNAL_LIST)) {
        list->SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_FLATSB);
        list->InsertColumn(0, QString::fromUtf8("Сообщение"));
        list->SetColumnWidth(0, LVSCW_AUTOSIZE_USEHEADER);
        list->InsertItem(0, QString::fromUtf8("Позвонить маме"));
        list->InsertItem(0, QString::fromUtf8("Совещание в 14:30"));
    }
    if (auto* list = d.GetDlgItemAs<ListView>(IDC_NOTIFY_LIST)) {
        list->SetExtendedStyle(LVS_EX_FLATSB);
        list->InsertColumn(0, "");
        list->SetColumnWidth(0, list->width() - 5);
        list->SetOwnerDraw(32, [list](QPainter& p, const QRect& r, int row, quintptr data) {
            p.fillRect(r, data != 0 ? QColor(255, 255, 200) : QColor(200, 200, 255));
            p.drawText(r, Qt::AlignHCenter | Qt::AlignTop, list->GetItemText(row, 0));
        });
        list->InsertItem(0, QString::fromUtf8("Сегодня, вторник, 8 декабря 2026"), -1, 1);
        list->InsertItem(1, QString::fromUtf8("День рождения Ани"), -1, 0);
    }
    if (auto* picker = d.GetDlgItemAs<DateTimePicker>(IDC_MODIFY_DATE)) {
        picker->SetFormat(QString::fromUtf8("H:mm d MMMM yyy г."));
    }
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    bool fill = false;
    std::vector<int> ids;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == "--fill") {
            fill = true;
        } else {
            ids.push_back(arg.toInt());
        }
    }
    if (ids.empty()) {
        for (const auto& [id, place] : kPlaces) {
            ids.push_back(id);
        }
    }
    std::vector<std::unique_ptr<QWidget>> hosts;
    std::vector<std::unique_ptr<Dialog>> dialogs;
    for (int id : ids) {
        const DialogTemplate* t = FindDialogTemplate(id);
        if (t == nullptr) {
            continue;
        }
        const QPoint place = kPlaces.count(id) != 0 ? kPlaces.at(id) : QPoint(0, 0);
        auto dialog = std::make_unique<Dialog>();
        QWidget* parent = nullptr;
        if (t->IsChild()) {
            // A page needs a window to live in; a grey one the size of the page, plus a margin.
            auto host = std::make_unique<QWidget>();
            host->setWindowFlag(Qt::FramelessWindowHint);
            host->setGeometry(QRect(place, QSize(392, 262)));
            parent = host.get();
            hosts.push_back(std::move(host));
        }
        dialog->Create(*t, parent);
        if (t->IsChild()) {
            dialog->move(4, 4);
            parent->show();
        } else {
            dialog->move(place);
        }
        if (fill) {
            Fill(*dialog);
        }
        dialog->show();
        dialogs.push_back(std::move(dialog));
    }
    return QApplication::exec();
}
