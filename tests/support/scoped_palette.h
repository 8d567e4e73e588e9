#pragma once

#include <QApplication>
#include <QPalette>

namespace tovrin::test {

// Puts a palette in place for one test and the old one back afterwards.
class ScopedPalette {
public:
    explicit ScopedPalette(const QPalette& palette) : saved_(QApplication::palette()) {
        QApplication::setPalette(palette);
    }
    ~ScopedPalette() { QApplication::setPalette(saved_); }
    ScopedPalette(const ScopedPalette&) = delete;
    ScopedPalette& operator=(const ScopedPalette&) = delete;

private:
    QPalette saved_;
};

} // namespace tovrin::test
