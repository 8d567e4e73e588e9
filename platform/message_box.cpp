#include "platform/message_box.h"

#include "platform/nested_loop.h"
#include "res/resource.h"

#include <QApplication>
#include <QEventLoop>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QMetaObject>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSpacerItem>
#include <QTimer>
#include <QWidget>

#include <algorithm>

namespace tovrin {

// A box sizes itself to its text alone, and a window manager cuts a longer title ("Удаление
// напоминания" over a one-line question). The box is widened to hold the title, in a bold face a
// little larger than the box's own, beside the frame's icon and buttons, as far as half the
// screen.
void MakeRoomForTitle(QMessageBox& box, const QString& caption) {
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (grid == nullptr || caption.isEmpty()) {
        return;
    }
    QFont titleFont = box.font();
    titleFont.setBold(true);
    if (titleFont.pointSizeF() > 0) {
        titleFont.setPointSizeF(titleFont.pointSizeF() * 1.1);
    } else {
        titleFont.setPixelSize(titleFont.pixelSize() * 11 / 10);
    }
    constexpr int kFrameButtonsAndIcon = 120;
    int wanted = QFontMetrics(titleFont).horizontalAdvance(caption) + kFrameButtonsAndIcon;
    if (const QScreen* screen = box.screen()) {
        wanted = std::min(wanted, screen->availableGeometry().width() / 2);
    }
    grid->addItem(new QSpacerItem(wanted, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

namespace {

// Every box as shown, words and buttons, for whoever checks what a desktop made of them (off unless
// QT_LOGGING_RULES turns on "tovrin.boxes.info").
Q_LOGGING_CATEGORY(lcBoxes, "tovrin.boxes", QtWarningMsg)

MessageBoxRecorder* activeBoxRecorder = nullptr;
QuitRecorder* activeQuitRecorder = nullptr;
// The loops of held boxes that wait for the program's quit, innermost last.
std::vector<QEventLoop*> quitWaiters;

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

// A box that ends without an answer (the program quits, or its owner went after all) answers
// what leaves everything as it was.
int UnansweredResult(unsigned type) {
    return (type & MB_TYPEMASK) == MB_OKCANCEL ? IDCANCEL : IDOK;
}

int ShowBox(QWidget* owner, const QString& text, const QString& caption, unsigned type) {
    NestedLoop loop(owner);
    // A hidden owner (the main window lives hidden) would place the box at its never-shown
    // position; such a box stands alone but still blocks the whole program.
    QWidget* parent = owner != nullptr && owner->window()->isVisible() ? owner->window() : nullptr;
    // On the heap and watched: should its parent be deleted while it is open, the parent takes
    // the box with it and the loop ends, instead of the stack freeing it a second time.
    QPointer<QMessageBox> box =
        new QMessageBox(IconOf(type), caption, text, QMessageBox::NoButton, parent);
    loop.SetFront(box);
    box->setTextFormat(Qt::PlainText);
    box->setWindowModality(parent != nullptr ? Qt::WindowModal : Qt::ApplicationModal);
    QPushButton* ok = box->addButton(QMessageBox::Ok);
    box->setDefaultButton(ok);
    QPushButton* cancel = nullptr;
    if ((type & MB_TYPEMASK) == MB_OKCANCEL) {
        cancel = box->addButton(QMessageBox::Cancel);
        box->setEscapeButton(cancel);
    } else {
        box->setEscapeButton(ok);
    }
    MakeRoomForTitle(*box, caption);
    qCInfo(lcBoxes).noquote() << "box:" << caption << "|" << QString(text).replace('\n', ' ') << "|"
                              << ok->text() << (cancel != nullptr ? cancel->text() : QString());
    box->exec();
    if (box.isNull()) {
        return UnansweredResult(type);
    }
    const bool okClicked = box->clickedButton() == ok;
    delete box.data();
    if (cancel != nullptr && !okClicked) {
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
    // Qt falls back to the executable's file name (without ".exe" on Windows); the boxes say the
    // program's name instead.
    const QFileInfo program(QCoreApplication::applicationFilePath());
    if (name.isEmpty() || name == program.fileName() || name == program.completeBaseName()) {
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

void MessageBoxRecorder::HoldNextOpen(std::function<void()> during, HeldEnd end) {
    held_ = std::move(during);
    heldEnd_ = end;
}

int MessageBoxRecorder::Answer(const MessageBoxCall& call) {
    const std::size_t index = calls_.size();
    calls_.push_back(call);
    // Registered as the real box's loop is, so what arrives meanwhile meets the same guard.
    NestedLoop loop(call.owner);
    bool quitEnded = false;
    if (held_) {
        const std::function<void()> during = std::move(held_);
        held_ = nullptr;
        const HeldEnd end = heldEnd_;
        QEventLoop events;
        bool answered = false;
        QTimer::singleShot(0, &events, [&] {
            during();
            if (end == HeldEnd::Answer) {
                answered = true;
                events.exit(0);
            }
        });
        QTimer::singleShot(kHeldLimitMs, &events, [&] {
            answered = true;
            events.exit(0);
        });
        // A recorded quit ends these boxes as a real one ends every loop; once the program is
        // quitting, such a box ends at once.
        const bool waits = end == HeldEnd::WaitForQuit;
        if (!(waits && activeQuitRecorder != nullptr && activeQuitRecorder->Posted())) {
            if (waits) {
                quitWaiters.push_back(&events);
            }
            events.exec();
            if (waits) {
                quitWaiters.erase(std::find(quitWaiters.begin(), quitWaiters.end(), &events));
            }
        }
        quitEnded = !answered;
    }
    calls_[index].endedByQuit = quitEnded;
    int answer = UnansweredResult(call.type);
    if (!quitEnded) {
        // A copy: the answerer may ask for boxes of its own, which grow the list.
        const MessageBoxCall asked = calls_[index];
        answer = answerer_ ? answerer_(asked) : IDOK;
    }
    calls_[index].raised = loop.Raised();
    // An OK-only box cannot be answered with anything but OK.
    return (call.type & MB_TYPEMASK) == MB_OKCANCEL ? answer : IDOK;
}

QuitRecorder::QuitRecorder() : previous_(activeQuitRecorder) {
    activeQuitRecorder = this;
}

QuitRecorder::~QuitRecorder() {
    activeQuitRecorder = previous_;
}

void QuitRecorder::Record(int code) {
    codes_.push_back(code);
    for (QEventLoop* loop : quitWaiters) {
        loop->exit(0);
    }
}

} // namespace tovrin
