#include "ui/about_page.h"

#include "controls/hyper_link.h"
#include "controls/static_bar.h"
#include "core/editor/about_text.h"
#include "core/lang/lang_keys.h"
#include "core/store/paths.h"
#include "platform/lang_texts.h"
#include "platform/resources.h"
#include "platform/text.h"
#include "res/resource.h"
#include "ui/page_host.h"

#include <array>

namespace tovrin {
namespace {

constexpr QPoint kPagePlace(136, 34);
constexpr QRect kCaptionRect(0, 0, 384, 26);
constexpr QRect kLinkRect(43, 112, 155, 9);

} // namespace

CAboutPage::CAboutPage(QWidget* parent) {
    Create(IDD_ABOUT, parent);
}

CAboutPage::~CAboutPage() {
    DestroyWindow();
}

bool CAboutPage::OnInitDialog() {
    move(kPagePlace);
    // The raw bytes, so the text is prepared exactly as the file has it.
    constexpr std::array<long, 3> keys{1, 2, 3};
    const std::vector<std::string> texts =
        LoadLangTexts(kLangPath, kLangAbout, keys, WindowLangFeedback());
    caption_ = new IXStatic();
    caption_->SetIcon(IDI_ABOUT);
    caption_->Create(FromCp1251(texts[0]), kCaptionRect, Client(), IDC_STATIC);
    SetDlgItemText(IDC_ABOUT_TEXT, FromCp1251(PrepareAboutText(texts[1])));
    SetDlgItemText(IDOK, FromCp1251(texts[2]));
    link_ = new IXHyperLink();
    link_->Create(LoadStringResource(IDS_WEB_ADDRESS), kLinkRect, Client(), 0);
    return true;
}

void CAboutPage::OnOK() {
    QWidget* parent = parentWidget();
    if (auto* host = parent != nullptr ? dynamic_cast<PageHost*>(parent->window()) : nullptr) {
        host->OnPageClosed();
    }
    Dialog::OnOK();
}

} // namespace tovrin
