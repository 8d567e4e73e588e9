#pragma once

#include <QPushButton>

#include <cstdint>

namespace tovrin {

// A push button; BS_DEFPUSHBUTTON makes it the dialog's default button (drawn as such). Enter is
// the dialog's to handle, not the button's: with the dialog's key filter on, Enter on a focused
// button presses nothing. Space presses it.
class PushButton : public QPushButton {
    Q_OBJECT
public:
    explicit PushButton(QWidget* parent = nullptr, uint32_t style = 0);

    bool IsDefault() const { return isDefault(); }

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace tovrin
