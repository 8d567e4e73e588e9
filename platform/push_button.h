#pragma once

#include <QPushButton>

#include <cstdint>

namespace tovrin {

// A push button; BS_DEFPUSHBUTTON makes it the dialog's default button (drawn as such). Enter is
// the dialog's to handle, not the button's (the dialog presses a focused button with it); Space
// presses it. A focused button always shows its focus frame, however the focus came to it:
// a keyboard user must see which button Enter or Space will press.
class PushButton : public QPushButton {
    Q_OBJECT
public:
    explicit PushButton(QWidget* parent = nullptr, uint32_t style = 0);

    bool IsDefault() const { return isDefault(); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
};

} // namespace tovrin
