#pragma once

#include "core/draw/cool_pane_layout.h"
#include "core/draw/rect.h"

#include <cstdint>
#include <vector>

namespace tovrin {

// What the navigation pane's state needs from the window it lives in.
class CoolPaneHost : public CaptionMeasurer {
public:
    // Starts (or restarts) one of the pane's two timers.
    virtual void SetPaneTimer(int id, int milliseconds) = 0;
    virtual void KillPaneTimer(int id) = 0;
    // Marks part of the pane for repainting; the whole picture is redrawn off screen anyway.
    virtual void InvalidatePane(const RECT& r) = 0;
    virtual void InvalidateWholePane() = 0;
    // Sends a clicked item's command to the pane's parent.
    virtual void SendPaneCommand(int commandId) = 0;
    // Recomputes hover from where the pointer is now, as a fresh mouse move would.
    virtual void RefreshHover() = 0;
};

// The navigation pane's folders, highlight and scrolling, without any drawing: the window feeds
// it pointer positions and timer ticks, and draws from what it holds.
class CoolPaneModel {
public:
    static constexpr int kHoverTimer = 1; // watches for the pointer leaving the pane
    static constexpr int kHoverPeriod = 100;
    static constexpr int kHeaderTimer = 2; // drops an item's highlight once a header took over
    static constexpr int kHeaderDelay = 150;

    explicit CoolPaneModel(CoolPaneHost& host) : host_(host) {}

    // The pane's client rectangle; folders added later are laid out in it.
    void SetClient(const RECT& client) { client_ = client; }
    const RECT& Client() const { return client_; }

    // Appends a copy of folder (its area and counts are recomputed) and lays out every folder
    // again, since each new header takes 20 pixels from the areas above it.
    void AddFolder(const CoolPaneFolder& folder);
    // Lays every folder out again for the current client rectangle, as a resize needs.
    void Relayout();

    // Hit tests with their highlight side effects. focusInChild: a child window of the pane has
    // the keyboard focus, and then the pane leaves the highlight alone.
    int HeaderTest(POINT p, bool focusInChild);
    int ItemTest(POINT p, bool focusInChild);

    void MouseMove(POINT p, bool focusInChild);
    // pointer: where the pointer is now, in client coordinates.
    void Timer(int id, POINT pointer);
    // Whether the hand cursor belongs at p (over a header only).
    bool WantsHandCursor(POINT p, bool focusInChild);
    void ButtonUp(POINT p);

    // For the keyboard. Opens folder i the way a click on its header does (scrolled to the
    // top, highlight dropped); false when there is no such folder or it is open already.
    bool OpenFolder(int i);
    // Scrolls the open folder as little as shows its item j, when j is out of sight.
    void ScrollIntoView(int j);

    int FolderCount() const { return static_cast<int>(folders_.size()); }
    const CoolPaneFolder& Folder(int i) const { return folders_.at(static_cast<std::size_t>(i)); }
    RECT HeaderRectOf(int i, HeaderUse use) const;
    bool DownArrowShown() const;
    bool UpArrowShown() const;

    int hotHeader() const { return hotHeader_; }
    int hotItem() const { return hotItem_; }
    const RECT& hotRect() const { return hotRect_; }
    int openFolder() const { return openFolder_; }
    int scrollOffset() const { return scrollOffset_; }
    int scrollPos() const { return scrollPos_; }

private:
    const CoolPaneFolder* Open() const;
    void LayoutOne(CoolPaneFolder& folder);
    bool ClickHeader(POINT p);
    void InvalidateItem(int j);

    CoolPaneHost& host_;
    RECT client_{};
    std::vector<CoolPaneFolder> folders_;
    int hotHeader_ = -1;
    int hotItem_ = -1;
    RECT hotRect_{};
    int openFolder_ = 0;
    int scrollOffset_ = 0;
    int scrollPos_ = 0;
};

} // namespace tovrin
