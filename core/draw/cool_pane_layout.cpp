#include "core/draw/cool_pane_layout.h"

#include <algorithm>

namespace tovrin {

std::span<CoolPaneItem> ItemsOf(const CoolPaneFolder& folder) {
    if (folder.items == nullptr || folder.itemCount <= 0) {
        return {};
    }
    return {folder.items, static_cast<std::size_t>(folder.itemCount)};
}

int LayoutFolder(CoolPaneFolder& folder, const RECT& client, CaptionMeasurer& measurer) {
    const RECT& area = folder.area;
    int y = area.top + kPaneIconTopGap;
    int visible = 0;
    int index = 0;
    for (CoolPaneItem& item : ItemsOf(folder)) {
        const int cx = (area.left + area.right) / 2;
        item.iconCell = {cx - kPaneIconSize / 2, y, cx + kPaneIconSize / 2, y + kPaneIconSize};
        y += kPaneIconSize;
        const TextExtent text = measurer.MeasureCaption(item.textId);
        // The caption is measured from the area's left edge and then shifted onto the client's
        // centre line, so captions stay centred under their icons whatever their width.
        const int shift = ((client.left + client.right) - text.width) / 2;
        item.textBox = {area.left + shift, y, area.left + shift + text.width, y + text.height};
        y += text.height + kPaneCaptionGap;
        ++index;
        if (UnionRect(item.iconCell, item.textBox).bottom < area.bottom) {
            visible = index;
        }
    }
    return visible;
}

RECT HeaderRect(int index, int count, int openFolder, const RECT& client, HeaderUse use) {
    int top = client.top + index * kPaneHeaderHeight;
    if (index > openFolder) {
        top = client.top + client.Height() - (count - index) * kPaneHeaderHeight - 1;
        if (use == HeaderUse::Paint) {
            --top;
        }
    }
    RECT r{client.left, top, client.right, top + kPaneHeaderHeight};
    if (use == HeaderUse::Hover) {
        r.left += 1;
        r.right -= 1;
    }
    return r;
}

RECT DownArrowRect(const RECT& area) {
    const int x = area.right - 26;
    const int y = area.bottom - 26;
    return {x, y, x + kPaneArrowSize, y + kPaneArrowSize};
}

RECT UpArrowRect(const RECT& area) {
    const int x = area.right - 26;
    const int y = area.top + 10;
    return {x, y, x + kPaneArrowSize, y + kPaneArrowSize};
}

int ScrollOffsetFor(const CoolPaneFolder& folder, int scrollPos) {
    const auto items = ItemsOf(folder);
    const int n = std::clamp(scrollPos, 0, static_cast<int>(items.size()));
    int offset = 0;
    for (int j = 0; j < n; ++j) {
        offset -= items[j].iconCell.Height() + items[j].textBox.Height() + kPaneCaptionGap;
    }
    return offset;
}

} // namespace tovrin
