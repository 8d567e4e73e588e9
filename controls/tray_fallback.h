#pragma once

#include <QIcon>
#include <QWidget>

#include <functional>

namespace tovrin {

// Stands in for the tray icon on a desktop without a notification area, so the program stays
// reachable: a small ordinary window (it shows in the task switcher) with the program's icon and
// name; a left click (on the release) or the Space, Enter or menu key opens the tray menu. Closing
// it only minimises it, since it is the only way back to the program.
class CTrayFallbackWnd : public QWidget {
    Q_OBJECT

public:
    // onMenu: shows the tray menu at the given screen point.
    CTrayFallbackWnd(const QIcon& icon, const QString& tip, std::function<void(QPoint)> onMenu);
    ~CTrayFallbackWnd() override;

    void SetTip(const QString& tip);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void RequestMenu(QPoint globalPos);
    void FitToText();

    QIcon icon_;
    QString tip_;
    std::function<void(QPoint)> onMenu_;
    // The left button went down on this window and has not come up yet.
    bool leftPressed_ = false;
};

} // namespace tovrin
