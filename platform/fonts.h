#pragma once

#include <QFont>
#include <QString>

namespace tovrin {

// Font weights by their usual numbers (100 thin to 900 heavy); 0 leaves the choice to the face.
inline constexpr int FW_DONTCARE = 0;
inline constexpr int FW_THIN = 100;
inline constexpr int FW_NORMAL = 400;
inline constexpr int FW_BOLD = 700;
inline constexpr int FW_EXTRABOLD = 800;

// The installed face that best stands in for a face the windows were drawn with: the metric
// twins of the classic faces where we have them, so text widths match the pixel layouts. Any
// other name is returned unchanged.
QString MapFontFace(const QString& face);

// A font after the classic recipe: height in pixels, negative for the character (em) height,
// positive for the cell height (ascent plus descent), 0 for the dialog font's size; weight 100-900
// (0: normal). The face goes through MapFontFace, with the original name and a generic family
// behind it as fallbacks.
QFont CreateFont(int height, int weight, const QString& face, bool italic = false,
                 bool underline = false);

// A face at a point size, as a dialog template names its font (points at 96 pixels per inch,
// turned into a pixel size so the layout does not follow the screen's resolution).
QFont TemplateFont(const QString& face, int pointSize);

// The font of every dialog: "MS Sans Serif" 8.
QFont DialogFont();

} // namespace tovrin
