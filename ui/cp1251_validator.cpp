#include "ui/cp1251_validator.h"

#include "platform/text.h"

namespace tovrin {

bool Cp1251Validator::Storable(char32_t character) {
    if (character < 0x80) {
        return character != 0;
    }
    bool lossy = false;
    ToCp1251(QString::fromUcs4(&character, 1), &lossy);
    return !lossy;
}

QValidator::State Cp1251Validator::validate(QString& input, int& pos) const {
    QString kept;
    QString dropped;
    int keptBeforeCursor = 0;
    int at = 0;
    for (const char32_t character : input.toUcs4()) {
        const QString piece = QString::fromUcs4(&character, 1);
        if (Storable(character)) {
            kept += piece;
            if (at < pos) {
                keptBeforeCursor += static_cast<int>(piece.size());
            }
        } else if (!dropped.contains(piece)) {
            dropped += piece;
        }
        at += static_cast<int>(piece.size());
    }
    if (dropped.isEmpty()) {
        return Acceptable;
    }
    input = kept;
    pos = keptBeforeCursor;
    emit refused(dropped);
    return Acceptable;
}

} // namespace tovrin
