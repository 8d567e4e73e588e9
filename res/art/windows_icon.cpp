// The program's clock as a Windows icon file, for the program file's own icon (resource 128):
// Explorer, the taskbar and shortcuts pick the size they need from it.
#include "res/art/art.h"

#include <QBuffer>
#include <QByteArray>
#include <QFile>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace art {
namespace {

void Put16(QByteArray& out, unsigned value) {
    out.append(static_cast<char>(value & 0xFF));
    out.append(static_cast<char>((value >> 8) & 0xFF));
}

void Put32(QByteArray& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

// An entry as every Windows reads it: a 32-bit bitmap, bottom row first, with its height doubled
// for the AND mask that follows (see-through where alpha is 0).
QByteArray DibEntry(const QImage& picture) {
    const QImage img = picture.convertToFormat(QImage::Format_ARGB32);
    const int w = img.width(), h = img.height();
    QByteArray out;
    Put32(out, 40);
    Put32(out, static_cast<std::uint32_t>(w));
    Put32(out, static_cast<std::uint32_t>(h * 2));
    Put16(out, 1);  // planes
    Put16(out, 32); // bits per pixel
    for (int i = 0; i < 6; ++i) {
        Put32(out, 0); // no compression, sizes and colour counts left to the reader
    }
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            const QRgb p = img.pixel(x, y);
            out.append(static_cast<char>(qBlue(p)));
            out.append(static_cast<char>(qGreen(p)));
            out.append(static_cast<char>(qRed(p)));
            out.append(static_cast<char>(qAlpha(p)));
        }
    }
    const int maskRow = (w + 31) / 32 * 4;
    for (int y = h - 1; y >= 0; --y) {
        QByteArray row(maskRow, '\0');
        for (int x = 0; x < w; ++x) {
            if (qAlpha(img.pixel(x, y)) == 0) {
                row[x / 8] = static_cast<char>(row[x / 8] | (0x80 >> (x % 8)));
            }
        }
        out.append(row);
    }
    return out;
}

// The largest entry is kept as PNG, as Windows has read it since Vista: as a bitmap it would
// weigh a quarter of a megabyte.
QByteArray PngEntry(const QImage& img) {
    QByteArray out;
    QBuffer buffer(&out);
    buffer.open(QIODevice::WriteOnly);
    img.save(&buffer, "PNG");
    return out;
}

} // namespace

void MakeWindowsIcon(const QString& file) {
    std::vector<QImage> sizes;
    for (int size : {16, 24, 32, 48, 64, 256}) {
        sizes.push_back(AppClock(size));
    }
    std::vector<QByteArray> entries;
    for (const QImage& img : sizes) {
        entries.push_back(img.width() >= 256 ? PngEntry(img) : DibEntry(img));
    }
    QByteArray out;
    Put16(out, 0);
    Put16(out, 1); // an icon, not a cursor
    Put16(out, static_cast<unsigned>(entries.size()));
    std::uint32_t offset = 6 + 16 * static_cast<std::uint32_t>(entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const int side = sizes[i].width();
        out.append(static_cast<char>(side >= 256 ? 0 : side)); // 0 stands for 256
        out.append(static_cast<char>(side >= 256 ? 0 : side));
        out.append('\0'); // no palette
        out.append('\0');
        Put16(out, 1);
        Put16(out, 32);
        Put32(out, static_cast<std::uint32_t>(entries[i].size()));
        Put32(out, offset);
        offset += static_cast<std::uint32_t>(entries[i].size());
    }
    for (const QByteArray& entry : entries) {
        out.append(entry);
    }
    QFile ico(file);
    if (!ico.open(QIODevice::WriteOnly) || ico.write(out) != out.size()) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
        std::exit(1);
    }
}

} // namespace art
