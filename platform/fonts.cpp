#include "platform/fonts.h"

#include <QFontMetrics>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace tovrin {
namespace {

struct FaceTwin {
    const char* classic;
    const char* installed;
    QFont::StyleHint hint;
};

// Liberation's faces share the classic faces' advance widths, so a label measured for one fits
// the other. MS Sans Serif has no twin; Arial's is the closest in width (DejaVu Sans runs about a
// tenth wider and clips the longer labels of the templates).
constexpr FaceTwin kTwins[] = {
    {"MS Sans Serif", "Liberation Sans", QFont::SansSerif},
    {"MS Shell Dlg", "Liberation Sans", QFont::SansSerif},
    {"Microsoft Sans Serif", "Liberation Sans", QFont::SansSerif},
    {"Arial", "Liberation Sans", QFont::SansSerif},
    {"Tahoma", "Liberation Sans", QFont::SansSerif},
    {"Times New Roman", "Liberation Serif", QFont::Serif},
    {"Times", "Liberation Serif", QFont::Serif},
    {"Courier New", "Liberation Mono", QFont::Monospace},
};

const FaceTwin* FindTwin(const QString& face) {
    for (const FaceTwin& twin : kTwins) {
        if (face.compare(QLatin1String(twin.classic), Qt::CaseInsensitive) == 0) {
            return &twin;
        }
    }
    return nullptr;
}

QFont FaceFont(const QString& face) {
    QFont font;
    const FaceTwin* twin = FindTwin(face);
    if (twin != nullptr) {
        font.setFamilies({QLatin1String(twin->installed), face});
        font.setStyleHint(twin->hint);
    } else if (!face.isEmpty()) {
        font.setFamilies({face});
    } else {
        font.setFamilies({QStringLiteral("Liberation Sans")});
        font.setStyleHint(QFont::SansSerif);
    }
    return font;
}

constexpr int kDialogPixelSize = 11; // 8 points at 96 pixels per inch, rounded as the system does

} // namespace

QString MapFontFace(const QString& face) {
    const FaceTwin* twin = FindTwin(face);
    return twin != nullptr ? QLatin1String(twin->installed) : face;
}

QFont CreateFont(int height, int weight, const QString& face, bool italic, bool underline) {
    QFont font = FaceFont(face);
    font.setItalic(italic);
    font.setUnderline(underline);
    const int w = weight <= 0 ? FW_NORMAL : std::clamp(weight, 1, 1000);
    font.setWeight(static_cast<QFont::Weight>(w));
    if (height < 0) {
        font.setPixelSize(std::max(1, -height));
    } else if (height > 0) {
        // A positive height names the whole cell; scale the em size until the cell matches.
        font.setPixelSize(height);
        const int cell = QFontMetrics(font).height();
        if (cell > 0 && cell != height) {
            const double scaled = static_cast<double>(height) * height / cell;
            font.setPixelSize(std::max(1, static_cast<int>(std::lround(scaled))));
        }
    } else {
        font.setPixelSize(kDialogPixelSize);
    }
    return font;
}

QFont TemplateFont(const QString& face, int pointSize) {
    const int points = pointSize > 0 ? pointSize : 8;
    // MulDiv(points, 96, 72): the character height the system gives a point size.
    const int pixels = (points * 96 + 36) / 72;
    return CreateFont(-pixels, FW_NORMAL, face);
}

QFont DialogFont() {
    return TemplateFont(QStringLiteral("MS Sans Serif"), 8);
}

} // namespace tovrin
