#pragma once

#include "core/draw/cool_pane_model.h"

#include <QBasicTimer>
#include <QCursor>
#include <QFont>
#include <QPixmap>
#include <QWidget>

#include <utility>

namespace tovrin {

class CommandTarget;
class TextSource;

// The font the pane measures its captions in, the same on every desktop.
QFont CaptionMeasureFont();

// The column of folders and icon buttons down the side of a window. Exactly one folder is open:
// its items fill the space between the stack of headers above and the headers below. Pointing
// highlights, clicking a closed folder's header opens it, clicking an item sends its command to
// the parent (a CommandTarget), and two arrows scroll items that do not fit.
class IXCoolPane : public QWidget, private CoolPaneHost {
    Q_OBJECT

public:
    IXCoolPane();
    ~IXCoolPane() override;

    // Makes the pane a visible child of parent at rect, its captions in the parent's font made
    // thin. False without a parent.
    bool Create(const QRect& rect, QWidget* parent, int id);

    // Appends a copy of folder; its item table stays the caller's and must outlive the pane.
    void AddFolder(const CoolPaneFolder& folder);

    // Captions (folder names and item texts) come from the parent's OnGetText (a TextSource)
    // instead of the string table. Set it before the first folder is added.
    bool textFromParent = false;

    // Where texts and commands go when not to the parent itself (the parent is used when it
    // implements the interface and nothing was set here).
    void SetTextSource(TextSource* source) { textSource_ = source; }
    void SetCommandTarget(CommandTarget* target) { commandTarget_ = target; }

    const CoolPaneModel& Model() const { return model_; }
    // The open folder's item the keyboard acts on.
    int FocusItem() const;
    // Where the focus frame is drawn around item j of the open folder, in pane coordinates.
    QRect FocusFrame(int j) const;
    const QFont& CaptionFont() const { return font_; }

    // For what reads the pane aloud. The caption of a text key, as painted.
    QString Caption(int32_t textId) const { return TextFor(textId); }
    // Opens folder i as a click on its header does.
    void OpenFolderAt(int i);
    // Sends the command of item j of folder i as a click on it does. An item of a closed folder
    // cannot be clicked before its folder opens, so the folder opens first.
    void PressItem(int i, int j);
    // Whether item j of the open folder shows at all, or is scrolled out of sight.
    bool ItemInSight(int j) const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // CoolPaneHost
    TextExtent MeasureCaption(int32_t textId) override;
    void SetPaneTimer(int id, int milliseconds) override;
    void KillPaneTimer(int id) override;
    void InvalidatePane(const RECT& r) override;
    void InvalidateWholePane() override;
    void SendPaneCommand(int commandId) override;
    void RefreshHover() override;

    QString TextFor(int key) const;
    bool FocusInChild() const;
    void Hover(QPoint p);
    void DrawFolder(QPainter& dc, int i);
    void DrawItem(QPainter& dc, const CoolPaneItem& item, int j);
    int OpenItemCount() const;
    void SetFocusItem(int j);
    void MoveFocusItem(int step);
    void PressFocusItem();
    // Which folder is open and how far it is scrolled: what a reader is told when it changes.
    std::pair<int, int> Shown() const { return {model_.openFolder(), model_.scrollPos()}; }
    void TellIfShownChanged(std::pair<int, int> before);

    CoolPaneModel model_{*this};
    QFont font_;
    QCursor hand_;
    QPixmap downArrow_;
    QPixmap upArrow_;
    QBasicTimer hoverTimer_;
    QBasicTimer headerTimer_;
    TextSource* textSource_ = nullptr;
    CommandTarget* commandTarget_ = nullptr;
    int focusItem_ = 0;
    int focusFolder_ = 0;
};

} // namespace tovrin
