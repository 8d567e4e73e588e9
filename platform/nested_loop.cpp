#include "platform/nested_loop.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <vector>

namespace tovrin {
namespace {

// Objects whose deletion waits for loops still open in their handlers.
std::vector<QPointer<QObject>>& Waiting() {
    static std::vector<QPointer<QObject>> waiting;
    return waiting;
}

bool flushPosted = false;

void DeleteWaiting() {
    flushPosted = false;
    std::vector<QPointer<QObject>> still;
    // Moved out first: a destructor may hand over more objects.
    std::vector<QPointer<QObject>> waiting;
    waiting.swap(Waiting());
    for (const QPointer<QObject>& object : waiting) {
        if (object.isNull()) {
            continue; // gone with its parent
        }
        if (NestedLoop::AnyOpen()) {
            still.push_back(object);
        } else {
            delete object.data();
        }
    }
    for (const QPointer<QObject>& object : still) {
        Waiting().push_back(object);
    }
}

// Never from inside the loop's own handler: the handler still has to return out of the object.
void PostDeleteWaiting() {
    QCoreApplication* app = QCoreApplication::instance();
    if (flushPosted || Waiting().empty() || app == nullptr) {
        return;
    }
    flushPosted = true;
    QMetaObject::invokeMethod(
        app, [] { DeleteWaiting(); }, Qt::QueuedConnection);
}

} // namespace

NestedLoop* NestedLoop::innermost_ = nullptr;

NestedLoop::NestedLoop(QWidget* owner, QWidget* front)
    : owner_(owner), front_(front), outer_(innermost_) {
    innermost_ = this;
}

NestedLoop::~NestedLoop() {
    // Loops end innermost first, as the stack unwinds.
    innermost_ = outer_;
    PostDeleteWaiting();
}

bool NestedLoop::OpenIn(const QObject* object) {
    if (object == nullptr) {
        return false;
    }
    for (const NestedLoop* loop = innermost_; loop != nullptr; loop = loop->outer_) {
        for (const QObject* o = loop->owner_.data(); o != nullptr; o = o->parent()) {
            if (o == object) {
                return true;
            }
        }
    }
    return false;
}

bool NestedLoop::BringToFront() {
    if (innermost_ == nullptr) {
        return false;
    }
    ++innermost_->raised_;
    if (QWidget* front = innermost_->front_.data()) {
        front->raise();
        front->activateWindow();
    }
    return true;
}

void DeleteWhenLoopsEnd(QObject* object) {
    if (object == nullptr) {
        return;
    }
    // Any open loop, not only one whose box the object owns: a box is owned by whichever
    // window was active (a missing text's "Error"), while the handler waiting in it may belong
    // to the object.
    if (!NestedLoop::AnyOpen()) {
        delete object;
        return;
    }
    Waiting().emplace_back(object);
}

} // namespace tovrin
