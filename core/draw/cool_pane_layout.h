#pragma once

#include "core/draw/rect.h"

#include <cstdint>
#include <span>

namespace tovrin {

// One icon button of a navigation pane folder. The caller owns a table of these that outlives the
// pane; the pane writes the two layout rectangles into it.
struct CoolPaneItem {
    int32_t iconId = 0;    // low 16 bits: icon resource
    int32_t textId = 0;    // text key of the caption
    int32_t commandId = 0; // low 16 bits: command sent when the item is clicked
    RECT iconCell{};       // 32 x 32, pane client coordinates before scrolling
    RECT textBox{};        // the caption's box, same coordinates
};

// A folder of the pane. The pane keeps its own copy; items stays the caller's table.
struct CoolPaneFolder {
    int32_t nameId = 0;
    int32_t itemCount = 0;
    CoolPaneItem* items = nullptr;
    RECT area{};              // the space the items occupy while this folder is open
    int32_t visibleCount = 0; // leading items that fit wholly inside the area
    int32_t hiddenCount = 0;  // itemCount - visibleCount: how far the folder can scroll
};

inline constexpr int kPaneHeaderHeight = 20;
inline constexpr int kPaneIconTopGap = 8;
inline constexpr int kPaneIconSize = 32;
inline constexpr int kPaneCaptionGap = 16;
inline constexpr int kPaneArrowSize = 16;

struct TextExtent {
    int width = 0;
    int height = 0;
};

// Measures a caption as one line; the pane supplies it, since only it knows fonts and texts.
class CaptionMeasurer {
public:
    virtual ~CaptionMeasurer() = default;
    virtual TextExtent MeasureCaption(int32_t textId) = 0;
};

// The folder's item table, or an empty one when the record is inconsistent (no table, or a
// negative count), so a bad record can never be walked off its end.
std::span<CoolPaneItem> ItemsOf(const CoolPaneFolder& folder);

// Places every item of the folder under its area's top and returns how many leading items fit
// wholly inside the area. The caption box is centred on the client's horizontal centre.
int LayoutFolder(CoolPaneFolder& folder, const RECT& client, CaptionMeasurer& measurer);

// Where header index sits among count headers. Painting sits the lower stack one pixel higher
// than hit testing, and hover testing keeps one pixel off either side.
enum class HeaderUse { Paint, Hover, Click };
RECT HeaderRect(int index, int count, int openFolder, const RECT& client, HeaderUse use);

// The scroll arrows' 16 x 16 squares inside a folder's area.
RECT DownArrowRect(const RECT& area);
RECT UpArrowRect(const RECT& area);

// The vertical offset that scrolls scrollPos leading items out at the top (0 or negative).
int ScrollOffsetFor(const CoolPaneFolder& folder, int scrollPos);

} // namespace tovrin
