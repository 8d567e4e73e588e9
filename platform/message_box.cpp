#include "platform/message_box.h"

#include "res/resource.h"

#include <QApplication>
#include <QMessageBox>
#include <QMetaObject>
#include <QPushButton>
#include <QWidget>

namespace tovrin {
namespace {

MessageBoxRecorder* activeBoxRecorder = nullptr;
QuitRecorder* activeQuitRecorder = nullptr;

QMessageBox::Icon IconOf(unsigned type) {
    switch (type & MB_ICONMASK) {
    case MB_ICONERROR:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONWARNING:
        return QMessageBox::Warning;
    case MB_ICONINFORMATION:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

int ShowBox(QWidget* owner, const QString& text, const QString& caption, unsigned type) {
    // A hidden owner (the main window lives hidden) would place the box at its never-shown
    // position; such a box stands alone but still blocks the whole program.
    QWidget* parent = owner != nullptr && owner->window()->isVisible() ? owner->window() : nullptr;
    QMessageBox box(IconOf(type), caption, text, QMessageBox::NoButton, parent);
    box.setTextFormat(Qt::PlainText);
    box.setWindowModality(parent != nullptr ? Qt::WindowModal : Qt::ApplicationModal);
    QPushButton* ok = box.addButton(QMessageBox::Ok);
    box.setDefaultButton(ok);
    QPushButton* cancel = nullptr;
    if ((type & MB_TYPEMASK) == MB_OKCANCEL) {
        cancel = box.addButton(QMessageBox::Cancel);
        box.setEscapeButton(cancel);
    } else {
        box.setEscapeButton(ok);
    }
    box.exec();
    if (cancel != nullptr && box.clickedButton() != ok) {
        return IDCANCEL;
    }
    return IDOK;
}

} // namespace

int MessageBox(QWidget* owner, const QString& text, const QString& caption, unsigned type) {
    if (activeBoxRecorder != nullptr) {
        return activeBoxRecorder->Answer(MessageBoxCall{owner, text, caption, type});
    }
    return ShowBox(owner, text, caption, type);
}

int AfxMessageBox(const QString& text) {
    return MessageBox(QApplication::activeWindow(), text, AppName(), MB_OK | MB_ICONEXCLAMATION);
}

QString AppName() {
    const QString name = QGuiApplication::applicationDisplayName();
    // Qt falls back to the executable's file name; the boxes say the program's name instead.
    if (name.isEmpty() || name == QCoreApplication::applicationFilePath().section('/', -1)) {
        return QStringLiteral("Tovrin");
    }
    return name;
}

void PostQuitMessage(int code) {
    if (activeQuitRecorder != nullptr) {
        activeQuitRecorder->Record(code);
        return;
    }
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr) {
        return;
    }
    // Queued, so the handler that asks finishes first, and a request made before the event loop
    // starts still ends it.
    QMetaObject::invokeMethod(
        app, [code] { QCoreApplication::exit(code); }, Qt::QueuedConnection);
}

MessageBoxRecorder::MessageBoxRecorder(int answer) : previous_(activeBoxRecorder) {
    SetAnswer(answer);
    activeBoxRecorder = this;
}

MessageBoxRecorder::~MessageBoxRecorder() {
    activeBoxRecorder = previous_;
}

void MessageBoxRecorder::SetAnswer(int answer) {
    answerer_ = [answer](const MessageBoxCall&) { return answer; };
}

void MessageBoxRecorder::SetAnswerer(std::function<int(const MessageBoxCall&)> answerer) {
    answerer_ = std::move(answerer);
}

int MessageBoxRecorder::Answer(const MessageBoxCall& call) {
    calls_.push_back(call);
    const int answer = answerer_ ? answerer_(call) : IDOK;
    // An OK-only box cannot be answered with anything but OK.
    return (call.type & MB_TYPEMASK) == MB_OKCANCEL ? answer : IDOK;
}

QuitRecorder::QuitRecorder() : previous_(activeQuitRecorder) {
    activeQuitRecorder = this;
}

QuitRecorder::~QuitRecorder() {
    activeQuitRecorder = previous_;
}

} // namespace tovrin
