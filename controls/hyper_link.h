#pragma once

#include <QFont>
#include <QWidget>

namespace tovrin {

// A short text, normally a web address, in pure blue under a pointing hand; releasing the left
// button over it asks the desktop to open the text; pressing alone, or a press that leaves the link
// before the release, opens nothing. Tab reaches it too (a click does not take the focus): framed
// while it has the focus, it opens with Space. Enter is not the link's: it goes on to the page,
// whose default button (OK) it presses.
class IXHyperLink : public QWidget {
    Q_OBJECT

public:
    IXHyperLink();
    ~IXHyperLink() override;

    // Makes the link a visible child of parent at rect's top-left corner, sized to its text in
    // the parent's font made thin. False without a parent.
    bool Create(const QString& text, const QRect& rect, QWidget* parent, int id = 0);

    QString GetWindowText() const { return windowTitle(); }
    const QFont& LinkFont() const { return font_; }
    // Asks the desktop to open the text, as a click does.
    void Open();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QFont font_;
};

} // namespace tovrin
