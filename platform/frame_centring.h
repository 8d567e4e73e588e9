#pragma once

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace tovrin {

// Where a window of frameSize goes to sit centred in area, the screen's work area: its frame's
// top-left corner. A window larger than the area keeps its top-left corner inside it, so the title
// bar stays within reach.
QPoint CentredFramePosition(const QRect& area, const QSize& frameSize);

// Centres a top-level window, frame and all, in the work area of its screen: at once with the
// frame the last framed window had (none before the first, and none without a window manager),
// and again as soon as the window's own frame is known, which under X11 is only after the window
// manager has taken the shown window in. Call it before the window is first shown.
void CentreInWorkArea(QWidget& window);

} // namespace tovrin
