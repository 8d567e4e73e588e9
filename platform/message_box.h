#pragma once

#include <QString>

#include <functional>
#include <vector>

class QMessageBox;
class QWidget;

namespace tovrin {

// Box types and answers by their usual numbers.
inline constexpr unsigned MB_OK = 0x00;
inline constexpr unsigned MB_OKCANCEL = 0x01;
inline constexpr unsigned MB_ICONERROR = 0x10;
inline constexpr unsigned MB_ICONQUESTION = 0x20;
inline constexpr unsigned MB_ICONWARNING = 0x30;
inline constexpr unsigned MB_ICONEXCLAMATION = MB_ICONWARNING;
inline constexpr unsigned MB_ICONINFORMATION = 0x40;
inline constexpr unsigned MB_TYPEMASK = 0x0F;
inline constexpr unsigned MB_ICONMASK = 0xF0;

// IDOK (1) and IDCANCEL (2) are in res/resource.h.

// A modal box owned by owner (nullptr: no owner), with the given buttons and icon; returns IDOK or
// IDCANCEL. Closing an OK-only box in any way answers IDOK; closing an OK/Cancel box with Escape
// or its close button answers IDCANCEL.
int MessageBox(QWidget* owner, const QString& text, const QString& caption, unsigned type);

// The framework's standard box: OK button, exclamation icon, the application's name as caption,
// owned by the active window.
int AfxMessageBox(const QString& text);

// Widens box so that a window manager's title bar has room for caption (a box sizes itself to its
// text alone), up to half the screen.
void MakeRoomForTitle(QMessageBox& box, const QString& caption);

// The application's name as the boxes show it ("Tovrin" unless the application set another).
QString AppName();

// Asks the event loop to end with this exit code once it is back from the handler now running, as
// a posted quit message does; nested loops (an open box) end too.
void PostQuitMessage(int code);

// One box that was asked for.
struct MessageBoxCall {
    QWidget* owner = nullptr;
    QString text;
    QString caption;
    unsigned type = 0;
    // How often the box was brought to the front while it was open, and whether the program's
    // quit ended it before anyone answered.
    int raised = 0;
    bool endedByQuit = false;
};

// For tests of windows, which run offscreen where a modal box would wait for ever: while one
// exists, every box is recorded and answered at once, and nothing is shown. A box can also be held
// open, its own event loop running, as if the user had left it there while something else
// happened.
class MessageBoxRecorder {
public:
    enum class HeldEnd {
        Answer,      // answered as any other box once the callback has returned
        WaitForQuit, // open until the program's quit ends its loop (at most kHeldLimitMs); a
                     // quit a QuitRecorder records ends it too
    };
    static constexpr int kHeldLimitMs = 10000;

    explicit MessageBoxRecorder(int answer = 1);
    ~MessageBoxRecorder();
    MessageBoxRecorder(const MessageBoxRecorder&) = delete;
    MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

    const std::vector<MessageBoxCall>& Calls() const { return calls_; }
    void Clear() { calls_.clear(); }
    // The answer to give from now on, for every box or decided box by box.
    void SetAnswer(int answer);
    void SetAnswerer(std::function<int(const MessageBoxCall&)> answerer);
    // The next box stays open while during runs inside its loop, then ends as end says. A box
    // that a quit ends answers as a real one does: Cancel, or OK when it has no other button.
    void HoldNextOpen(std::function<void()> during, HeldEnd end = HeldEnd::Answer);

    int Answer(const MessageBoxCall& call);

private:
    std::vector<MessageBoxCall> calls_;
    std::function<int(const MessageBoxCall&)> answerer_;
    std::function<void()> held_;
    HeldEnd heldEnd_ = HeldEnd::Answer;
    MessageBoxRecorder* previous_;
};

// For tests: while one exists, PostQuitMessage is recorded instead of ending the event loop.
class QuitRecorder {
public:
    QuitRecorder();
    ~QuitRecorder();
    QuitRecorder(const QuitRecorder&) = delete;
    QuitRecorder& operator=(const QuitRecorder&) = delete;

    int Count() const { return static_cast<int>(codes_.size()); }
    bool Posted() const { return !codes_.empty(); }
    int LastCode() const { return codes_.empty() ? 0 : codes_.back(); }
    // Also ends the held boxes that wait for the quit (MessageBoxRecorder::HeldEnd::WaitForQuit).
    void Record(int code);

private:
    std::vector<int> codes_;
    QuitRecorder* previous_;
};

} // namespace tovrin
