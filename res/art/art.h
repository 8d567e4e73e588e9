#pragma once

// What the drawing program's pieces share: a blank canvas, pixel art from a character grid, the
// sixteen colours the small bitmaps keep to, and where the pictures are written.

#include <QColor>
#include <QImage>
#include <QString>

#include <map>
#include <vector>

namespace art {

// The folder the pictures are saved in.
extern QString outDir;

QImage Blank(int w, int h, QColor fill = Qt::transparent);
// Writes one picture into outDir; ends the program when it cannot.
void Save(const QImage& img, const QString& name);
// Pixel art: one character per pixel, looked up in a palette; '.' is see-through.
QImage FromGrid(const std::vector<const char*>& rows, const std::map<char, QColor>& palette,
                QColor background = Qt::transparent);

// The sixteen colours the small menu bitmaps are limited to, and their grid letters.
inline const QColor kBlack(0, 0, 0), kMaroon(128, 0, 0), kGreen(0, 128, 0), kOlive(128, 128, 0),
    kNavy(0, 0, 128), kPurple(128, 0, 128), kTeal(0, 128, 128), kSilver(192, 192, 192),
    kGrey(128, 128, 128), kRed(255, 0, 0), kLime(0, 255, 0), kYellow(255, 255, 0), kBlue(0, 0, 255),
    kFuchsia(255, 0, 255), kAqua(0, 255, 255), kWhite(255, 255, 255);
extern const std::map<char, QColor> kVga;

// The program's clock (icon 128) at the sizes the tray and windows use.
void MakeAppIcon();
// The same clock at the desktop menu's sizes, into its own folder.
void MakeDesktopIcons(const QString& dir);
// The clock at its sizes, 16 to 256 pixels.
QImage AppClock(int size);
// The same clock as a Windows icon file (16 to 256 pixels).
void MakeWindowsIcon(const QString& file);
// The windows' and the pane's icons (129, 130, 136, 137, 142, 143, 144, 148, 158, 159).
void MakeWindowIcons();
// The list's clocks (171), the tray menu's bitmaps (173 to 176) and the hand cursor (157).
void MakeBitmaps();

} // namespace art
