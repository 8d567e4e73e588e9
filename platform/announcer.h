#pragma once

#include <QString>
#include <QWidget>

namespace tovrin {

// Says a text to a screen reader wherever the keyboard is: a child of a window, of no size and
// drawing nothing, that a screen reader meets as a notification shown anew with the text as its
// name. Sighted users see nothing of it; the window it sits in must be showing.
class Announcer : public QWidget {
    Q_OBJECT
public:
    explicit Announcer(QWidget* parent);

    void Announce(const QString& text);
    // The last text announced.
    const QString& Text() const { return text_; }

private:
    QString text_;
};

} // namespace tovrin
