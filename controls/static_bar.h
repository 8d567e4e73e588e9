#pragma once

#include "res/resource.h"

#include <QFont>
#include <QPixmap>
#include <QWidget>

namespace tovrin {

// The caption bar across the top of every window and page: a flat grey band, the window text in
// large bold letters at its left, an icon at its right end. The text is read at every paint, so
// the owner may change it at any time (SetWindowText or setWindowTitle).
class IXStatic : public QWidget {
    Q_OBJECT

public:
    // controlId: a control of the future parent whose place the bar takes (0: the rectangle
    // given to Create is used).
    explicit IXStatic(int controlId = 0);
    ~IXStatic() override;

    // Replaces the icon by icon resource iconId at its own size (16 x 16 when the picture is
    // missing, which then draws nothing). Call it before Create, or later with a new text.
    bool SetIcon(int iconId);

    // Makes the bar a visible child of parent. The font is the parent's, 20 pixels high and extra
    // bold. False without a parent.
    bool Create(const QString& text, const QRect& rect, QWidget* parent, int id = IDC_STATIC);

    void SetWindowText(const QString& text) { setWindowTitle(text); }
    QString GetWindowText() const { return windowTitle(); }

    bool HasIcon() const { return !icon_.isNull(); }
    int IconWidth() const { return iconWidth_; }
    int IconHeight() const { return iconHeight_; }
    const QFont& CaptionFont() const { return font_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    int controlId_;
    QFont font_;
    QPixmap icon_;
    int iconWidth_ = 0;
    int iconHeight_ = 0;
};

} // namespace tovrin
