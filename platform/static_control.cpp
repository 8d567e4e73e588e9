#include "platform/static_control.h"

#include "res/window_styles.h"

namespace tovrin {
namespace {

QString NormaliseLineBreaks(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r' || c == u'\n') {
            out += u'\n';
            // The other half of a pair belongs to the same break.
            const QChar other = c == u'\r' ? u'\n' : u'\r';
            if (i + 1 < text.size() && text[i + 1] == other) {
                ++i;
            }
            continue;
        }
        out += c;
    }
    return out;
}

// Drops the single "&" that marks a mnemonic; "&&" shows one "&".
QString WithoutPrefix(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&') {
            if (i + 1 < text.size() && text[i + 1] == u'&') {
                out += u'&';
                ++i;
            }
            continue;
        }
        out += text[i];
    }
    return out;
}

} // namespace

StaticControl::StaticControl(QWidget* parent, uint32_t style, uint32_t exStyle)
    : QLabel(parent), style_(style) {
    setTextFormat(Qt::PlainText);
    setFocusPolicy(Qt::NoFocus);
    setIndent(0);
    setMargin(0);
    const uint32_t type = style & SS_TYPEMASK;
    if (type == SS_ETCHEDHORZ) {
        setFrameStyle(QFrame::HLine | QFrame::Sunken);
        setLineWidth(1);
        return;
    }
    if ((style & SS_SUNKEN) != 0 || (exStyle & WS_EX_STATICEDGE) != 0) {
        setFrameStyle(QFrame::Panel | QFrame::Sunken);
        setLineWidth(1);
    } else if ((style & WS_BORDER) != 0) {
        setFrameStyle(QFrame::Box | QFrame::Plain);
        setLineWidth(1);
    }
    Qt::Alignment horizontal = Qt::AlignLeft;
    if (type == SS_CENTER) {
        horizontal = Qt::AlignHCenter;
    } else if (type == SS_RIGHT) {
        horizontal = Qt::AlignRight;
    }
    setAlignment(horizontal | Qt::AlignTop);
    setWordWrap(type != SS_LEFTNOWORDWRAP);
}

void StaticControl::SetText(const QString& text) {
    text_ = text;
    if ((style_ & SS_TYPEMASK) == SS_ETCHEDHORZ) {
        return; // a line shows no text
    }
    const QString shown = NormaliseLineBreaks(text);
    setText((style_ & SS_NOPREFIX) != 0 ? shown : WithoutPrefix(shown));
}

} // namespace tovrin
