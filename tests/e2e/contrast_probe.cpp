// Measures, on a screenshot, how well what is drawn in a rectangle stands out from what is behind:
//   contrast_probe IMAGE text X Y W H          text or lines over a plain or banded background
//   contrast_probe IMAGE outline X Y W H RRGGBB a picture's outline against that background
//   contrast_probe IMAGE sum X Y W H           a checksum of the rectangle's pixels
// Prints the worst ratio (two decimals), or the checksum.
#include "support/contrast_measure.h"

#include <QCryptographicHash>
#include <QImage>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    if (argc < 7) {
        std::fprintf(stderr, "usage: contrast_probe IMAGE text|outline|sum X Y W H [RRGGBB]\n");
        return 2;
    }
    const QImage image =
        QImage(QString::fromLocal8Bit(argv[1])).convertToFormat(QImage::Format_RGB32);
    if (image.isNull()) {
        std::fprintf(stderr, "contrast_probe: cannot read %s\n", argv[1]);
        return 1;
    }
    const std::string mode = argv[2];
    const QRect r(std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]), std::atoi(argv[6]));
    if (mode == "sum") {
        const QImage part = image.copy(r);
        QCryptographicHash hash(QCryptographicHash::Md5);
        for (int y = 0; y < part.height(); ++y) {
            hash.addData(QByteArrayView(reinterpret_cast<const char*>(part.constScanLine(y)),
                                        part.width() * 4));
        }
        std::printf("%s\n", hash.result().toHex().left(16).constData());
        return 0;
    }
    if (mode == "outline" && argc > 7) {
        const unsigned long rgb = std::strtoul(argv[7], nullptr, 16);
        const tovrin::COLORREF back = tovrin::MakeColorRef(
            static_cast<int>(rgb >> 16), static_cast<int>(rgb >> 8), static_cast<int>(rgb));
        std::printf("%.2f\n", tovrin::test::OutlineContrast(image, r, back));
        return 0;
    }
    std::printf("%.2f\n", tovrin::test::TextContrast(image, r));
    return 0;
}
