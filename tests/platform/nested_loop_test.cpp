#include "platform/message_box.h"
#include "platform/nested_loop.h"
#include "res/resource.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

#include <memory>

namespace tovrin {
namespace {

// Runs posted events, deferred deletions among them, until nothing is left.
void Settle() {
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::processEvents();
    }
}

TEST(NestedLoop, KnowsWhichWindowsHaveALoopOpenInsideThem) {
    QWidget window;
    auto* page = new QWidget(&window);
    auto* control = new QWidget(page);
    QWidget other;
    EXPECT_FALSE(NestedLoop::AnyOpen());
    EXPECT_FALSE(NestedLoop::BringToFront());
    {
        NestedLoop outer(page);
        EXPECT_TRUE(NestedLoop::AnyOpen());
        // The page's window and the page count; a control inside the page, another window and
        // nothing at all do not.
        EXPECT_TRUE(NestedLoop::OpenIn(&window));
        EXPECT_TRUE(NestedLoop::OpenIn(page));
        EXPECT_FALSE(NestedLoop::OpenIn(control));
        EXPECT_FALSE(NestedLoop::OpenIn(&other));
        EXPECT_FALSE(NestedLoop::OpenIn(nullptr));
        {
            NestedLoop inner(&other);
            EXPECT_TRUE(NestedLoop::OpenIn(&other));
            EXPECT_TRUE(NestedLoop::OpenIn(page));
            // Only the innermost loop, the one the user must answer first, is raised.
            EXPECT_TRUE(NestedLoop::BringToFront());
            EXPECT_EQ(inner.Raised(), 1);
            EXPECT_EQ(outer.Raised(), 0);
        }
        EXPECT_FALSE(NestedLoop::OpenIn(&other));
        EXPECT_TRUE(NestedLoop::BringToFront());
        EXPECT_EQ(outer.Raised(), 1);
    }
    EXPECT_FALSE(NestedLoop::AnyOpen());
}

TEST(NestedLoop, AnOwnerDeletedWhileItsLoopRunsIsNotFollowed) {
    auto owner = std::make_unique<QWidget>();
    NestedLoop loop(owner.get());
    owner.reset();
    EXPECT_TRUE(NestedLoop::AnyOpen());
    QWidget someone;
    EXPECT_FALSE(NestedLoop::OpenIn(&someone));
}

TEST(DeleteWhenLoopsEnd, WaitsUntilTheHandlerHasLeftItsLoop) {
    QPointer<QWidget> idle = new QWidget;
    DeleteWhenLoopsEnd(idle.data());
    EXPECT_TRUE(idle.isNull()); // no loop in it: at once

    auto busy = std::make_unique<QWidget>();
    QPointer<QWidget> watched = busy.get();
    {
        NestedLoop loop(busy.get());
        DeleteWhenLoopsEnd(busy);
        EXPECT_EQ(busy, nullptr);
        Settle(); // events inside the loop do not take it
        EXPECT_FALSE(watched.isNull());
    }
    // The loop has ended but the handler that ran it is still returning: not yet.
    EXPECT_FALSE(watched.isNull());
    Settle();
    EXPECT_TRUE(watched.isNull());
}

TEST(DeleteWhenLoopsEnd, WaitsForEveryLoopInsideAndForgetsWhatItsParentTook) {
    QPointer<QWidget> page;
    QPointer<QWidget> orphan;
    {
        auto parent = std::make_unique<QWidget>();
        page = new QWidget(parent.get());
        orphan = new QWidget(parent.get());
        NestedLoop first(page);
        {
            NestedLoop second(page);
            DeleteWhenLoopsEnd(page.data());
            DeleteWhenLoopsEnd(orphan.data());
            // Nothing open in it, but a handler of it may wait in a box that another window owns.
            EXPECT_FALSE(orphan.isNull());
        }
        Settle();
        EXPECT_FALSE(page.isNull()); // the first loop still runs in it
    }
    // Its parent went first and took it; nothing is deleted twice.
    EXPECT_TRUE(page.isNull());
    Settle();
}

TEST(MessageBoxRecorder, AHeldBoxRunsItsOwnLoopWithTheOwnerMarkedBusy) {
    MessageBoxRecorder boxes(IDCANCEL);
    QWidget owner;
    bool timerFired = false;
    bool busyInside = false;
    QTimer::singleShot(0, [&] { timerFired = true; });
    boxes.HoldNextOpen([&] {
        busyInside = NestedLoop::OpenIn(&owner);
        Settle();
        NestedLoop::BringToFront();
        NestedLoop::BringToFront();
    });
    EXPECT_EQ(MessageBox(&owner, "Delete?", "Tovrin", MB_OKCANCEL), IDCANCEL);
    EXPECT_TRUE(timerFired); // what was waiting ran while the box was open
    EXPECT_TRUE(busyInside);
    EXPECT_FALSE(NestedLoop::OpenIn(&owner));
    ASSERT_EQ(boxes.Calls().size(), 1u);
    EXPECT_EQ(boxes.Calls()[0].raised, 2);
    EXPECT_FALSE(boxes.Calls()[0].endedByQuit);

    // Only the next box is held.
    EXPECT_EQ(MessageBox(&owner, "Again?", "Tovrin", MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(boxes.Calls()[1].raised, 0);
}

TEST(MessageBoxRecorder, AQuitEndsAHeldBoxAsCancelOrOk) {
    MessageBoxRecorder boxes(IDOK);
    int question = 0;
    int notice = 0;
    QTimer::singleShot(0, [&] {
        boxes.HoldNextOpen([] { PostQuitMessage(4); }, MessageBoxRecorder::HeldEnd::WaitForQuit);
        question = MessageBox(nullptr, "Delete?", "Tovrin", MB_OKCANCEL);
        // Once the program is quitting, a later box ends the same way at once.
        boxes.HoldNextOpen([] {}, MessageBoxRecorder::HeldEnd::WaitForQuit);
        notice = MessageBox(nullptr, "Note", "Tovrin", MB_OK);
    });
    EXPECT_EQ(QCoreApplication::exec(), 4);
    EXPECT_EQ(question, IDCANCEL);
    EXPECT_EQ(notice, IDOK);
    ASSERT_EQ(boxes.Calls().size(), 2u);
    EXPECT_TRUE(boxes.Calls()[0].endedByQuit);
    EXPECT_TRUE(boxes.Calls()[1].endedByQuit);
}

// The real box, offscreen: its owner deleted while it waits ends it as Cancel, and the box is
// freed once, by the owner that took it.
TEST(MessageBox, AnOwnerDeletedUnderAnOpenBoxEndsItAsCancel) {
    auto* owner = new QWidget;
    owner->show();
    bool sawBox = false;
    QTimer::singleShot(50, [&] {
        sawBox = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()) != nullptr;
        EXPECT_TRUE(NestedLoop::OpenIn(owner));
        delete owner;
    });
    EXPECT_EQ(MessageBox(owner, "Delete?", "Tovrin", MB_OKCANCEL | MB_ICONQUESTION), IDCANCEL);
    EXPECT_TRUE(sawBox);
    EXPECT_FALSE(NestedLoop::AnyOpen());
}

TEST(MessageBox, TheRealBoxIsRaisedAndAnswered) {
    QWidget owner;
    owner.show();
    QTimer::singleShot(50, [] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(NestedLoop::BringToFront());
        box->button(QMessageBox::Ok)->click();
    });
    EXPECT_EQ(MessageBox(&owner, "Delete?", "Tovrin", MB_OKCANCEL), IDOK);
}

} // namespace
} // namespace tovrin
