#pragma once

#include <QLabel>
#include <QString>

#include <cstdint>

namespace tovrin {

// A static control: text left-aligned or centred from the top, wrapped at word ends (unless
// SS_LEFTNOWORDWRAP), with a sunken border (SS_SUNKEN, WS_EX_STATICEDGE), or the etched
// horizontal line (SS_ETCHEDHORZ). "&" marks a mnemonic ("&&" is one "&") unless SS_NOPREFIX.
class StaticControl : public QLabel {
    Q_OBJECT
public:
    explicit StaticControl(QWidget* parent = nullptr, uint32_t style = 0, uint32_t exStyle = 0);

    // The text as given; CR LF, LF CR and a lone CR each break the line once, as LF does.
    void SetText(const QString& text);
    QString Text() const { return text_; }
    uint32_t Style() const { return style_; }

private:
    QString text_;
    uint32_t style_;
};

} // namespace tovrin
