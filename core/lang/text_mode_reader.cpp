#include "core/lang/text_mode_reader.h"

// Opening, seeking and filling the buffer are the system's: text_mode_reader_posix.cpp and
// text_mode_reader_win32.cpp. What a piece is stays here, the same everywhere.

namespace tovrin {

TextModeReader::~TextModeReader() {
    Close();
}

int TextModeReader::PeekByte() {
    if (pos_ == len_ && !Fill()) {
        return -1;
    }
    return static_cast<unsigned char>(buffer_[pos_]);
}

int TextModeReader::NextByte() {
    int c = PeekByte();
    if (c >= 0) {
        ++pos_;
        ++offset_;
    }
    return c;
}

bool TextModeReader::ReadPiece(std::string& piece) {
    piece.clear();
    while (piece.size() < kMaxPiece) {
        int c = NextByte();
        if (c < 0) {
            break;
        }
        if (c == '\r' && PeekByte() == '\n') {
            c = NextByte();
        }
        piece.push_back(static_cast<char>(c));
        if (c == '\n') {
            break;
        }
    }
    return !piece.empty();
}

} // namespace tovrin
