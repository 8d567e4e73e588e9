#pragma once

#include "platform/dialog.h"
#include "platform/lang_texts.h"

namespace tovrin {

class IXStatic;

// The two settings: days of advance notice (one digit) and whether deleting asks first. The check
// box acts at once for this run; Apply writes both to the settings file and closes the page.
class CSettingsPage final : public Dialog {
    Q_OBJECT
public:
    // Builds the page, hidden, inside parent (the editor, a PageHost) at its place over the list.
    explicit CSettingsPage(QWidget* parent);
    ~CSettingsPage() override;

    IXStatic* Caption() const { return caption_; }

protected:
    bool OnInitDialog() override;
    void OnCommand(int id) override;
    void OnOK() override;
    // Only Apply closes the page.
    void OnCancel() override {}

private:
    LangTexts texts_;
    AddedTexts added_;
    SaveTexts saveTexts_;
    IXStatic* caption_ = nullptr;
    QString shownDays_; // the day count as the page opened with it
};

} // namespace tovrin
