#include "platform/edit_control.h"

#include "res/window_styles.h"

#include <QRegularExpression>
#include <QRegularExpressionValidator>

#include <algorithm>

namespace tovrin {
namespace {

// QLineEdit's own limit; the classic limit of a one-line edit is larger, but no window of the
// program comes near either.
constexpr int kNoLimit = 32767;

} // namespace

EditControl::EditControl(QWidget* parent, uint32_t style, uint32_t exStyle)
    : QLineEdit(parent), limit_(kNoLimit) {
    Qt::Alignment horizontal = Qt::AlignLeft;
    if ((style & ES_CENTER) != 0) {
        horizontal = Qt::AlignHCenter;
    } else if ((style & ES_RIGHT) != 0) {
        horizontal = Qt::AlignRight;
    }
    setAlignment(horizontal | Qt::AlignVCenter);
    if ((style & ES_NUMBER) != 0) {
        // ASCII digits only: other scripts' digits would not read back as a number.
        setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), this));
    }
    setReadOnly((style & ES_READONLY) != 0);
    const bool edge =
        (exStyle & (WS_EX_STATICEDGE | WS_EX_CLIENTEDGE)) != 0 || (style & WS_BORDER) != 0;
    setFrame(edge);
    setFocusPolicy((style & WS_TABSTOP) != 0 ? Qt::StrongFocus : Qt::ClickFocus);
    // Qt's own limit cuts whatever is longer; it is kept at the limit or at the text's length,
    // whichever is more, so only the user's typing meets it.
    connect(this, &QLineEdit::textChanged, this, &EditControl::FitLimit);
}

void EditControl::LimitText(int limit) {
    limit_ = limit <= 0 || limit > kNoLimit ? kNoLimit : limit;
    FitLimit();
}

void EditControl::SetText(const QString& text) {
    SetMaxLength(std::max(limit_, static_cast<int>(std::min<qsizetype>(text.size(), kNoLimit))));
    setText(text);
    FitLimit();
}

void EditControl::FitLimit() {
    SetMaxLength(std::max(limit_, static_cast<int>(text().size())));
}

// Qt sets the whole text again with every new limit, which a screen reader hears as the text
// deleted and typed anew: after each key, were the limit set each time the text changes.
void EditControl::SetMaxLength(int length) {
    if (maxLength() != length) {
        setMaxLength(length);
    }
}

void EditControl::SetSel(int start, int end) {
    if (start < 0) {
        deselect();
        return;
    }
    const int length = static_cast<int>(text().size());
    const int to = end < 0 || end > length ? length : end;
    const int from = start > length ? length : start;
    setSelection(from, to - from);
}

} // namespace tovrin
