#pragma once

#include <QPointer>
#include <QWidget>

#include <memory>
#include <type_traits>

namespace tovrin {

// A nested event loop (a message box, the tray menu) running inside a handler. While it runs,
// everything else the program does (tray commands, timer ticks, signals) arrives inside it, so
// any of it could pull the handler's window away from under the handler, which returns into it
// once the loop ends. Every such loop registers here for as long as it runs, and whatever closes
// or deletes a window asks here first.
class NestedLoop {
public:
    // owner: the window whose handler runs the loop (nullptr: none); front: what the user sees of
    // the loop (the box, the menu), raised when the user asks for something that must wait.
    explicit NestedLoop(QWidget* owner, QWidget* front = nullptr);
    ~NestedLoop();
    NestedLoop(const NestedLoop&) = delete;
    NestedLoop& operator=(const NestedLoop&) = delete;

    void SetFront(QWidget* front) { front_ = front; }
    // How often the user was shown this loop again while it ran.
    int Raised() const { return raised_; }

    // Whether a loop is open in a handler of object or of anything inside it (a page, a control).
    static bool OpenIn(const QObject* object);
    static bool AnyOpen() { return innermost_ != nullptr; }
    // Brings the innermost loop that shows something to the front; false when none is open.
    static bool BringToFront();

private:
    friend void DeleteWhenLoopsEnd(QObject* object);

    QPointer<QWidget> owner_;
    QPointer<QWidget> front_;
    int raised_ = 0;
    NestedLoop* outer_;
    static NestedLoop* innermost_;
};

// Deletes object now, or, while any loop is open, once every loop has returned and the handler
// with it: the box a handler waits in need not be owned by the handler's window. Takes the object
// over.
void DeleteWhenLoopsEnd(QObject* object);

template <class T> void DeleteWhenLoopsEnd(std::unique_ptr<T>& object) {
    static_assert(std::is_base_of_v<QObject, T>);
    DeleteWhenLoopsEnd(static_cast<QObject*>(object.release()));
}

} // namespace tovrin
