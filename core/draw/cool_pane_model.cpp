#include "core/draw/cool_pane_model.h"

#include <algorithm>

namespace tovrin {

void CoolPaneModel::LayoutOne(CoolPaneFolder& folder) {
    folder.visibleCount = LayoutFolder(folder, client_, host_);
    folder.hiddenCount = std::max(folder.itemCount, 0) - folder.visibleCount;
}

void CoolPaneModel::AddFolder(const CoolPaneFolder& folder) {
    const int count = FolderCount() + 1;
    CoolPaneFolder added;
    added.nameId = folder.nameId;
    added.itemCount = folder.itemCount;
    added.items = folder.items;
    added.area = {client_.left, count * kPaneHeaderHeight, client_.right, client_.bottom};
    for (CoolPaneFolder& earlier : folders_) {
        earlier.area.bottom -= kPaneHeaderHeight;
        LayoutOne(earlier);
    }
    folders_.push_back(added);
    LayoutOne(folders_.back());
}

void CoolPaneModel::Relayout() {
    const int n = FolderCount();
    for (int k = 0; k < n; ++k) {
        CoolPaneFolder& folder = folders_[static_cast<std::size_t>(k)];
        folder.area = {client_.left, client_.top + (k + 1) * kPaneHeaderHeight, client_.right,
                       client_.bottom - (n - 1 - k) * kPaneHeaderHeight};
        LayoutOne(folder);
    }
    if (const CoolPaneFolder* open = Open()) {
        scrollPos_ = std::clamp(scrollPos_, 0, std::max(open->hiddenCount, 0));
        scrollOffset_ = ScrollOffsetFor(*open, scrollPos_);
    }
}

const CoolPaneFolder* CoolPaneModel::Open() const {
    if (openFolder_ < 0 || openFolder_ >= FolderCount()) {
        return nullptr;
    }
    return &folders_[static_cast<std::size_t>(openFolder_)];
}

RECT CoolPaneModel::HeaderRectOf(int i, HeaderUse use) const {
    return HeaderRect(i, FolderCount(), openFolder_, client_, use);
}

bool CoolPaneModel::DownArrowShown() const {
    const CoolPaneFolder* open = Open();
    return open != nullptr && open->hiddenCount > 0 && scrollPos_ < open->hiddenCount;
}

bool CoolPaneModel::UpArrowShown() const {
    return Open() != nullptr && scrollPos_ > 0;
}

int CoolPaneModel::HeaderTest(POINT p, bool focusInChild) {
    if (focusInChild) {
        return -1;
    }
    const int old = hotHeader_;
    const RECT oldRect = hotRect_;
    hotHeader_ = -1;
    for (int i = 0; i < FolderCount(); ++i) {
        const RECT r = HeaderRectOf(i, HeaderUse::Hover);
        if (PtInRect(r, p)) {
            hotHeader_ = i;
            hotRect_ = {r.left, r.top, r.right, r.bottom + 1};
            if (i != old) {
                host_.SetPaneTimer(kHoverTimer, kHoverPeriod);
                host_.InvalidatePane(hotRect_);
            }
            break;
        }
    }
    if (hotHeader_ != old && !IsRectEmpty(oldRect)) {
        host_.InvalidatePane(oldRect);
    }
    return hotHeader_;
}

int CoolPaneModel::ItemTest(POINT p, bool focusInChild) {
    if (focusInChild) {
        hotItem_ = -1;
        return -1;
    }
    const int old = hotItem_;
    RECT oldRect = hotRect_;
    hotItem_ = -1;
    if (const CoolPaneFolder* open = Open()) {
        // No early exit: where an item's caption overlaps the next icon, the later item wins.
        int j = 0;
        for (const CoolPaneItem& item : ItemsOf(*open)) {
            const RECT icon = OffsetRect(item.iconCell, 0, scrollOffset_);
            const RECT text = OffsetRect(item.textBox, 0, scrollOffset_);
            if (j == old) {
                oldRect = icon;
            }
            if (PtInRect(icon, p) || PtInRect(text, p)) {
                hotItem_ = j;
                hotRect_ = icon;
                if (j != old) {
                    host_.SetPaneTimer(kHoverTimer, kHoverPeriod);
                    host_.InvalidatePane(icon);
                }
            }
            ++j;
        }
    }
    if (hotItem_ != old && !IsRectEmpty(oldRect)) {
        host_.InvalidatePane(oldRect);
    }
    return hotItem_;
}

void CoolPaneModel::MouseMove(POINT p, bool focusInChild) {
    if (HeaderTest(p, focusInChild) == -1) {
        ItemTest(p, focusInChild);
    } else {
        host_.SetPaneTimer(kHeaderTimer, kHeaderDelay);
    }
}

void CoolPaneModel::InvalidateItem(int j) {
    const CoolPaneFolder* open = Open();
    if (open == nullptr) {
        return;
    }
    const auto items = ItemsOf(*open);
    if (j >= 0 && j < static_cast<int>(items.size())) {
        host_.InvalidatePane(
            OffsetRect(items[static_cast<std::size_t>(j)].iconCell, 0, scrollOffset_));
    }
}

void CoolPaneModel::Timer(int id, POINT pointer) {
    if (id == kHoverTimer) {
        if (PtInRect(client_, pointer)) {
            return;
        }
        if (hotHeader_ != -1) {
            if (!IsRectEmpty(hotRect_)) {
                host_.InvalidatePane(hotRect_);
            }
            hotHeader_ = -1;
            hotRect_ = {};
        }
        if (hotItem_ != -1) {
            // The shared hot rectangle may still name a header here; repaint the item's own cell.
            InvalidateItem(hotItem_);
            hotItem_ = -1;
            hotRect_ = {};
        }
        // Once the pointer is out and nothing is lit there is nothing left to watch for.
        host_.KillPaneTimer(kHoverTimer);
    } else if (id == kHeaderTimer) {
        if (hotItem_ != -1) {
            InvalidateItem(hotItem_);
            hotItem_ = -1;
        }
        host_.KillPaneTimer(kHeaderTimer);
    }
}

bool CoolPaneModel::WantsHandCursor(POINT p, bool focusInChild) {
    return HeaderTest(p, focusInChild) != -1;
}

bool CoolPaneModel::ClickHeader(POINT p) {
    for (int i = 0; i < FolderCount(); ++i) {
        if (!PtInRect(HeaderRectOf(i, HeaderUse::Click), p)) {
            continue;
        }
        if (i == openFolder_) {
            return false; // the open folder's header: go on to the items and arrows
        }
        return OpenFolder(i);
    }
    return false;
}

bool CoolPaneModel::OpenFolder(int i) {
    if (i < 0 || i >= FolderCount() || i == openFolder_) {
        return false;
    }
    if (i > openFolder_) {
        hotHeader_ = -1;
    }
    hotItem_ = -1;
    scrollPos_ = 0;
    scrollOffset_ = 0;
    openFolder_ = i;
    host_.InvalidateWholePane();
    host_.RefreshHover();
    return true;
}

void CoolPaneModel::ScrollIntoView(int j) {
    const CoolPaneFolder* open = Open();
    if (open == nullptr || j < 0 || j >= open->itemCount) {
        return;
    }
    const int shown = std::max(open->visibleCount, 1);
    int pos = scrollPos_;
    if (j < pos) {
        pos = j;
    } else if (j >= pos + shown) {
        pos = j - shown + 1;
    }
    pos = std::clamp(pos, 0, std::max(open->hiddenCount, 0));
    if (pos != scrollPos_) {
        scrollPos_ = pos;
        scrollOffset_ = ScrollOffsetFor(*open, scrollPos_);
        host_.InvalidatePane(open->area);
    }
}

void CoolPaneModel::ButtonUp(POINT p) {
    if (ClickHeader(p)) {
        return;
    }
    if (Open() == nullptr) {
        return;
    }
    const auto items = ItemsOf(*Open());
    if (hotItem_ >= 0 && hotItem_ < static_cast<int>(items.size())) {
        const int command = items[static_cast<std::size_t>(hotItem_)].commandId & 0xFFFF;
        InvalidateItem(hotItem_);
        hotItem_ = -1;
        host_.SendPaneCommand(command);
        host_.RefreshHover();
    }
    // The command's receiver may have added folders: look the open folder up afresh.
    const CoolPaneFolder* open = Open();
    if (open == nullptr) {
        return;
    }
    if (PtInRect(DownArrowRect(open->area), p) && scrollPos_ < open->hiddenCount) {
        ++scrollPos_;
        scrollOffset_ = ScrollOffsetFor(*open, scrollPos_);
        host_.InvalidatePane(open->area);
    }
    if (PtInRect(UpArrowRect(open->area), p) && scrollPos_ > 0) {
        --scrollPos_;
        scrollOffset_ = ScrollOffsetFor(*open, scrollPos_);
        host_.InvalidatePane(open->area);
    }
}

} // namespace tovrin
