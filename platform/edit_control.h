#pragma once

#include <QLineEdit>

#include <cstdint>

namespace tovrin {

// A one-line edit: ES_CENTER / ES_RIGHT alignment, ES_NUMBER (digits only: letters typed or
// pasted are refused), ES_READONLY, and a thin sunken border for WS_EX_STATICEDGE or
// WS_EX_CLIENTEDGE (none otherwise).
class EditControl : public QLineEdit {
    Q_OBJECT
public:
    explicit EditControl(QWidget* parent = nullptr, uint32_t style = 0, uint32_t exStyle = 0);

    // At most limit characters typed or pasted; 0 lifts the limit. A text set by the program
    // (SetText) may be longer and is shown whole: the user can then shorten it, not lengthen it.
    void LimitText(int limit);
    int Limit() const { return limit_; }
    // Replaces the text, whatever its length.
    void SetText(const QString& text);
    // Selects characters [start, end); end -1 selects to the end; start -1 removes the selection.
    // The caret goes to end and is scrolled into view.
    void SetSel(int start, int end);

private:
    void FitLimit();
    void SetMaxLength(int length);

    int limit_;
};

} // namespace tovrin
