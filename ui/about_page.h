#pragma once

#include "platform/dialog.h"

namespace tovrin {

class IXHyperLink;
class IXStatic;

// The program's name and version, a free text from the language file and the maker's web
// address as a link. OK, Enter and Escape all close it.
class CAboutPage final : public Dialog {
    Q_OBJECT
public:
    // Builds the page, hidden, inside parent (the editor, a PageHost) at its place over the list.
    explicit CAboutPage(QWidget* parent);
    ~CAboutPage() override;

    IXStatic* Caption() const { return caption_; }
    IXHyperLink* Link() const { return link_; }

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    // Escape closes the page like OK, so the editor always gets its list back.
    void OnCancel() override { OnOK(); }

private:
    IXStatic* caption_ = nullptr;
    IXHyperLink* link_ = nullptr;
};

} // namespace tovrin
