#pragma once

#include <QPushButton>

#include <cstdint>

namespace tovrin {

// A push button; BS_DEFPUSHBUTTON makes it the dialog's default button (drawn as such). Enter is
// the dialog's to handle, not the button's (a dialog without the key filter presses a focused
// button with it); Space presses it. A focused button shows its focus frame once the keyboard
// has been used in its window (platform/keyboard_cues.h).
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
