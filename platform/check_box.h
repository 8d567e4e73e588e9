#pragma once

#include <QCheckBox>

#include <cstdint>

namespace tovrin {

inline constexpr int BST_UNCHECKED = 0;
inline constexpr int BST_CHECKED = 1;

// A check box. BS_AUTOCHECKBOX toggles itself when clicked; BS_CHECKBOX does not: its owner hears
// the click and sets the state itself (the record edit page's mode boxes behave as a group that
// way). BS_FLAT asks for a flat box, which is how Qt's styles draw them anyway.
class CheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit CheckBox(QWidget* parent = nullptr, uint32_t style = 0);

    void SetCheck(int state) { setChecked(state == BST_CHECKED); }
    int GetCheck() const { return isChecked() ? BST_CHECKED : BST_UNCHECKED; }
    bool IsAutomatic() const { return automatic_; }

protected:
    void nextCheckState() override;
    // A box without text may be smaller than the style's box (the settings page's is 12 x 13
    // pixels): it is drawn to fit, and the whole control takes the click. A focused box shows
    // its focus frame once the keyboard has been used in its window.
    void paintEvent(QPaintEvent* event) override;
    bool hitButton(const QPoint& pos) const override;

private:
    bool automatic_;
};

} // namespace tovrin
