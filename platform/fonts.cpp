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
    const char* metricTwin; // the same widths under another name, where installed is missing
    QFont::StyleHint hint;
};

// The windows' pixel layouts hold text measured in Arial's widths and Times New Roman's, which
// Liberation Sans and Serif share. MS Sans Serif itself is not used, on Windows either: it has no
// twin elsewhere (DejaVu Sans runs about a tenth wider and clips the longer labels), and Arial
// gives every system the same layout. Windows has Arial and Times New Roman; Linux has the
// Liberation faces; Wine has whichever of them the machine has, and the twin stands in.
#ifdef Q_OS_WIN
constexpr const char* kSans = "Arial";
constexpr const char* kSerif = "Times New Roman";
constexpr const char* kMono = "Courier New";
constexpr const char* kSansTwin = "Liberation Sans";
constexpr const char* kSerifTwin = "Liberation Serif";
constexpr const char* kMonoTwin = "Liberation Mono";
#else
constexpr const char* kSans = "Liberation Sans";
constexpr const char* kSerif = "Liberation Serif";
constexpr const char* kMono = "Liberation Mono";
constexpr const char* kSansTwin = "Arial";
constexpr const char* kSerifTwin = "Times New Roman";
constexpr const char* kMonoTwin = "Courier New";
#endif

constexpr FaceTwin kTwins[] = {
    {"MS Sans Serif", kSans, kSansTwin, QFont::SansSerif},
    {"MS Shell Dlg", kSans, kSansTwin, QFont::SansSerif},
    {"Microsoft Sans Serif", kSans, kSansTwin, QFont::SansSerif},
    {"Arial", kSans, kSansTwin, QFont::SansSerif},
    {"Tahoma", kSans, kSansTwin, QFont::SansSerif},
    {"Liberation Sans", kSans, kSansTwin, QFont::SansSerif},
    {"Times New Roman", kSerif, kSerifTwin, QFont::Serif},
    {"Times", kSerif, kSerifTwin, QFont::Serif},
    {"Liberation Serif", kSerif, kSerifTwin, QFont::Serif},
    {"Courier New", kMono, kMonoTwin, QFont::Monospace},
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
    if (twin == nullptr && face.isEmpty()) {
        twin = FindTwin(QStringLiteral("Arial"));
    }
    if (twin != nullptr) {
        QStringList families{QLatin1String(twin->installed), QLatin1String(twin->metricTwin)};
        if (!families.contains(face, Qt::CaseInsensitive) && !face.isEmpty()) {
            families.append(face);
        }
        font.setFamilies(families);
        font.setStyleHint(twin->hint);
    } else {
        font.setFamilies({face});
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
#ifdef Q_OS_WIN
    // Glyphs fitted to the pixel grid across as well as up (GDI's way) round every advance to a
    // whole pixel, and small text no longer runs as wide as the layouts measured it: "Decem ber".
    // Fitted only up and down, Qt draws through DirectWrite with the face's own widths, as on
    // Linux.
    font.setHintingPreference(QFont::PreferVerticalHinting);
#endif
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
