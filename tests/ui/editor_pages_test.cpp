#include "controls/hyper_link.h"
#include "controls/static_bar.h"
#include "core/lang/lang_keys.h"
#include "editor_fixture.h"
#include "platform/check_box.h"
#include "platform/date_time_picker.h"
#include "platform/dlg_item.h"
#include "platform/edit_control.h"
#include "platform/lang_texts.h"
#include "platform/resources.h"
#include "platform/static_control.h"
#include "res/resource.h"
#include "ui/about_page.h"
#include "ui/modify_page.h"
#include "ui/page_host.h"
#include "ui/settings_page.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDateTimeEdit>
#include <QKeyEvent>
#include <QTest>

#include <memory>

namespace tovrin {
namespace {

namespace fs = std::filesystem;
using test::At;
using test::ReadBytes;
using test::Rec;

// Stands where the editor stands: the pages' parent, told of records and closes.
class HostWindow final : public QWidget, public PageHost {
public:
    HostWindow() { resize(519, 323); }
    void OnRecord(const ReminderRecord& record) override {
        records.push_back(record);
        events.emplace_back("record");
    }
    void OnPageClosed() override { events.emplace_back("closed"); }

    std::vector<ReminderRecord> records;
    std::vector<std::string> events;
};

class PageTest : public test::EditorFixture {
protected:
    PageTest() {
        host_.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&host_));
    }

    template <class Page> std::unique_ptr<Page> Make() {
        auto page = std::make_unique<Page>(&host_);
        page->show();
        return page;
    }

    static void Click(Dialog& page, int id) { page.GetDlgItemAs<QAbstractButton>(id)->click(); }
    static bool Checked(const Dialog& page, int id) {
        return page.IsDlgButtonChecked(id) == BST_CHECKED;
    }

    HostWindow host_;
    const SYSTEMTIME now_ = At(2026, 12, 8, 14, 30, 5, 250);
};

using Events = std::vector<std::string>;

// Types text the way a keyboard with any layout does, one character per key press (QTest's own
// typing knows Latin keys only).
void Type(QWidget* widget, const QString& text) {
    for (const char32_t character : text.toUcs4()) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString::fromUcs4(&character, 1));
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString::fromUcs4(&character, 1));
        QApplication::sendEvent(widget, &press);
        QApplication::sendEvent(widget, &release);
    }
}

// The record edit page.

TEST_F(PageTest, FreshEditPageOffersItsTextSelectedForTyping) {
    auto page = Make<CModifyPage>();
    const LangTexts texts = LoadSectionTexts(kLangModify, {1, 2, 3, 10});
    EditControl* field = page->MessageField();
    EXPECT_EQ(field->text(), texts[2]);
    EXPECT_EQ(field->selectedText(), texts[2]);
    host_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&host_));
    EXPECT_TRUE(field->hasFocus());
    EXPECT_EQ(field->maxLength(), 80);
    EXPECT_EQ(page->GetDlgItemText(IDC_MODIFY_TEXT_LABEL), texts[3]);
    EXPECT_EQ(page->GetDlgItemText(IDOK), texts[10]);
    EXPECT_EQ(page->Caption()->GetWindowText(), texts[1]);
    EXPECT_EQ(page->Caption()->geometry(), QRect(8, 11, 368, 26));
    EXPECT_EQ(page->pos(), QPoint(136, 34));
    EXPECT_EQ(page->LoadedRecord().mode, -1);
    for (int box : {IDC_MODE_DAILY, IDC_MODE_YEARLY, IDC_MODE_ONCE, IDC_MODE_MONTHLY}) {
        EXPECT_FALSE(Checked(*page, box));
    }

    // Typing replaces the suggestion.
    QTest::keyClicks(field, "Buy milk");
    EXPECT_EQ(field->text(), "Buy milk");
}

TEST_F(PageTest, OkWithNoBoxHandsBackAPlainRecordWithThePickersWholeValueThenCloses) {
    auto page = Make<CModifyPage>();
    page->MessageField()->setText("Plain");
    Click(*page, IDOK);
    EXPECT_EQ(host_.events, (Events{"record", "closed"}));
    ASSERT_EQ(host_.records.size(), 1u);
    const ReminderRecord& record = host_.records[0];
    EXPECT_EQ(record.mode, MODE_NONE);
    EXPECT_EQ(record.state, 0);
    EXPECT_EQ(TextOf(record), "Plain");
    SYSTEMTIME expected = now_;
    expected.wDayOfWeek = 2; // 8 December 2026 is a Tuesday
    EXPECT_EQ(record.when, expected);
    EXPECT_FALSE(page->isVisible());
    EXPECT_FALSE(page->isEnabled());
}

TEST_F(PageTest, ModeBoxesFormAGroupWhoseCheckedBoxCanBeCleared) {
    auto page = Make<CModifyPage>();
    Click(*page, IDC_MODE_YEARLY);
    EXPECT_TRUE(Checked(*page, IDC_MODE_YEARLY));
    Click(*page, IDC_MODE_MONTHLY);
    EXPECT_TRUE(Checked(*page, IDC_MODE_MONTHLY));
    EXPECT_FALSE(Checked(*page, IDC_MODE_YEARLY));
    Click(*page, IDC_MODE_MONTHLY);
    EXPECT_FALSE(Checked(*page, IDC_MODE_MONTHLY));
    Click(*page, IDC_MODE_ONCE);
    Click(*page, IDC_MODE_DAILY);
    EXPECT_FALSE(Checked(*page, IDC_MODE_ONCE));
    Click(*page, IDOK);
    ASSERT_EQ(host_.records.size(), 1u);
    EXPECT_EQ(host_.records[0].mode, MODE_DAILY);
}

TEST_F(PageTest, EachBoxHandsBackItsMode) {
    const std::pair<int, int> boxes[] = {{IDC_MODE_DAILY, MODE_DAILY},
                                         {IDC_MODE_YEARLY, MODE_YEARLY},
                                         {IDC_MODE_ONCE, MODE_ONCE},
                                         {IDC_MODE_MONTHLY, MODE_MONTHLY}};
    for (const auto& [box, mode] : boxes) {
        auto page = Make<CModifyPage>();
        Click(*page, box);
        Click(*page, IDOK);
        EXPECT_EQ(host_.records.back().mode, mode) << box;
    }
}

TEST_F(PageTest, LoadedOnceRecordShowsItsFormatAndUncheckingRestoresItsTime) {
    auto page = Make<CModifyPage>();
    const ReminderRecord once = Rec(MODE_ONCE, At(2027, 3, 14, 9, 15, 42, 7), "Dentist");
    page->OnRecord(once);
    DateTimePicker* picker = page->Picker();
    EXPECT_EQ(picker->Format(), CModifyPage::kOnceFormat);
    EXPECT_EQ(picker->Format(), "H:mm d MMMM yyy");
    EXPECT_TRUE(Checked(*page, IDC_MODE_ONCE));
    EXPECT_EQ(page->MessageField()->text(), "Dentist");
    EXPECT_EQ(picker->GetSystemTime().wMilliseconds, 7);

    picker->SetSystemTime(At(2030, 1, 1, 1, 1));
    Click(*page, IDC_MODE_ONCE);
    EXPECT_FALSE(Checked(*page, IDC_MODE_ONCE));
    EXPECT_EQ(picker->Format(), QString::fromUtf8("d MMMM yyy г."));
    SYSTEMTIME restored = picker->GetSystemTime();
    restored.wDayOfWeek = 0;
    EXPECT_EQ(restored, once.when);

    // Checked by hand it takes the current time and shows the year's letter.
    Click(*page, IDC_MODE_ONCE);
    EXPECT_EQ(picker->Format(), QString::fromUtf8("H:mm d MMMM yyy г."));
    EXPECT_EQ(picker->GetSystemTime().wMinute, now_.wMinute);
    EXPECT_EQ(picker->GetSystemTime().wDay, now_.wDay);
    EXPECT_TRUE(picker->Text().endsWith(QString::fromUtf8("2026 г.")))
        << picker->Text().toStdString();
}

TEST_F(PageTest, DailyBoxTakesTheCurrentTimeAndWithoutALoadedRecordUncheckingKeepsIt) {
    auto page = Make<CModifyPage>();
    DateTimePicker* picker = page->Picker();
    picker->SetSystemTime(At(2031, 5, 6, 7, 8));
    Click(*page, IDC_MODE_DAILY);
    EXPECT_EQ(picker->Format(), "H:mm");
    SYSTEMTIME value = picker->GetSystemTime();
    value.wDayOfWeek = 0;
    EXPECT_EQ(value, now_);

    picker->SetSystemTime(At(2031, 5, 6, 7, 8));
    Click(*page, IDC_MODE_DAILY);
    EXPECT_EQ(picker->Format(), QString::fromUtf8("d MMMM yyy г."));
    EXPECT_EQ(picker->GetSystemTime().wYear, 2031);
    EXPECT_EQ(picker->GetSystemTime().wHour, 7);
}

TEST_F(PageTest, LoadedModesCheckTheirBoxAndOnlyTimedOnesChangeTheFormat) {
    auto daily = Make<CModifyPage>();
    daily->OnRecord(Rec(MODE_DAILY, At(2020, 1, 1, 6, 45), "Wake"));
    EXPECT_EQ(daily->Picker()->Format(), "H:mm");
    EXPECT_TRUE(Checked(*daily, IDC_MODE_DAILY));

    auto yearly = Make<CModifyPage>();
    const QString before = yearly->Picker()->Format();
    yearly->OnRecord(Rec(MODE_YEARLY, At(1990, 5, 5), "Birthday"));
    EXPECT_EQ(yearly->Picker()->Format(), before);
    EXPECT_TRUE(Checked(*yearly, IDC_MODE_YEARLY));
    Click(*yearly, IDC_MODE_YEARLY);
    EXPECT_FALSE(Checked(*yearly, IDC_MODE_YEARLY));
    EXPECT_EQ(yearly->Picker()->Format(), QString::fromUtf8("d MMMM yyy г."));
    EXPECT_EQ(yearly->Picker()->GetSystemTime().wYear, 1990);

    auto odd = Make<CModifyPage>();
    odd->OnRecord(Rec(99, At(2027, 5, 5), "Odd"));
    for (int box : {IDC_MODE_DAILY, IDC_MODE_YEARLY, IDC_MODE_ONCE, IDC_MODE_MONTHLY}) {
        EXPECT_FALSE(Checked(*odd, box));
    }
    Click(*odd, IDOK);
    EXPECT_EQ(host_.records.back().mode, MODE_NONE);
}

TEST_F(PageTest, EightyCharacterMessageComesBackWholeAndNoMore) {
    const std::string eighty(80, 'x');
    auto page = Make<CModifyPage>();
    page->OnRecord(Rec(MODE_YEARLY, At(2027, 1, 1), eighty));
    page->MessageField()->end(false);
    QTest::keyClicks(page->MessageField(), "yz");
    Click(*page, IDOK);
    ASSERT_EQ(host_.records.size(), 1u);
    EXPECT_EQ(TextOf(host_.records[0]), eighty);
}

TEST_F(PageTest, ALongerStoredMessageShowsWholeAndComesBackWhole) {
    // 83 characters, as far as the field goes: written by another copy, or by hand.
    const std::string stored = std::string(80, 'x') + "end";
    ReminderRecord record = Rec(MODE_YEARLY, At(2027, 1, 1));
    SetText(record, stored, kTextFieldSize - 1);
    auto page = Make<CModifyPage>();
    page->OnRecord(record);
    EXPECT_EQ(page->MessageField()->text().toStdString(), stored);
    page->MessageField()->end(false);
    QTest::keyClicks(page->MessageField(), "!");
    Click(*page, IDOK);
    ASSERT_EQ(host_.records.size(), 1u);
    EXPECT_EQ(TextOf(host_.records[0]), stored);
}

TEST_F(PageTest, CharactersTheStoreCannotHoldAreLeftOutVisibly) {
    auto page = Make<CModifyPage>();
    EditControl* field = page->MessageField();
    field->clear();
    Type(field, QString::fromUtf8("Tea ☕ at 5 € ёж 😀!"));
    EXPECT_EQ(field->text(), QString::fromUtf8("Tea  at 5 € ёж !"));
    // The hint names what was left out last.
    EXPECT_NE(field->toolTip().indexOf(QString::fromUtf8("😀")), -1);
    Click(*page, IDOK);
    ASSERT_EQ(host_.records.size(), 1u);
    // Euro sign, ё and ж in windows-1251.
    EXPECT_EQ(TextOf(host_.records[0]), "Tea  at 5 \x88 \xb8\xe6 !");
}

TEST_F(PageTest, EscapeNeverClosesTheEditPageCancelDoesWithoutARecord) {
    auto page = Make<CModifyPage>();
    QTest::keyClick(page->MessageField(), Qt::Key_Escape);
    QTest::keyClick(page->Picker(), Qt::Key_Escape);
    EXPECT_TRUE(page->isVisible());
    EXPECT_TRUE(host_.events.empty());
    Click(*page, IDCANCEL);
    EXPECT_EQ(host_.events, (Events{"closed"}));
    EXPECT_FALSE(page->isVisible());
}

TEST_F(PageTest, EnterInTheFieldThePickerABoxOrOnOkPressesNothing) {
    auto page = Make<CModifyPage>();
    page->MessageField()->setText("Enter");
    for (const int id : {IDC_MODIFY_TEXT, IDC_MODIFY_DATE, IDC_MODE_ONCE, IDOK}) {
        QWidget* control = page->GetDlgItem(id);
        control->setFocus();
        QTest::keyClick(control, Qt::Key_Return);
        QTest::keyClick(control, Qt::Key_Enter);
        EXPECT_TRUE(host_.events.empty()) << id;
        EXPECT_TRUE(page->isVisible()) << id;
    }
    EXPECT_FALSE(Checked(*page, IDC_MODE_ONCE));
}

TEST_F(PageTest, ArrowsMoveAmongTheModeBoxesAndSpaceChecksTheOneWithTheFocus) {
    auto page = Make<CModifyPage>();
    host_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&host_));
    page->GetDlgItem(IDC_MODE_DAILY)->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Right);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    ASSERT_EQ(GetDlgCtrlID(QApplication::focusWidget()), IDC_MODE_ONCE);
    EXPECT_FALSE(Checked(*page, IDC_MODE_ONCE));
    EXPECT_EQ(page->Picker()->Format(), QString()); // moving changed nothing
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    EXPECT_TRUE(Checked(*page, IDC_MODE_ONCE));
    EXPECT_EQ(page->Picker()->Format(), CModifyPage::kOnceTypedFormat);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    EXPECT_EQ(GetDlgCtrlID(QApplication::focusWidget()), IDC_MODE_YEARLY);
    EXPECT_TRUE(Checked(*page, IDC_MODE_ONCE));
}

TEST_F(PageTest, CaptionCanBeSetForAChangedRecord) {
    auto page = Make<CModifyPage>();
    page->SetCaption("Change reminder", IDI_CHANGE_RECORD);
    EXPECT_EQ(page->Caption()->GetWindowText(), "Change reminder");
    EXPECT_TRUE(page->Caption()->HasIcon());
}

// The settings page.

TEST_F(PageTest, SettingsPageShowsBothSettings) {
    confirmDelete = 1;
    auto page = Make<CSettingsPage>();
    const LangTexts texts = LoadSectionTexts(kLangSettings, {1, 2, 6});
    auto* field = page->GetDlgItemAs<EditControl>(IDC_SETTINGS_DAYS);
    EXPECT_EQ(field->text(), "3");
    EXPECT_EQ(field->maxLength(), 1);
    EXPECT_TRUE(Checked(*page, IDC_SETTINGS_CONFIRM));
    EXPECT_EQ(page->GetDlgItemText(IDC_SETTINGS_NOTIFY_LABEL), texts[2]);
    EXPECT_EQ(page->GetDlgItemText(IDOK), texts[6]);
    EXPECT_EQ(page->Caption()->GetWindowText(), texts[1]);
    EXPECT_EQ(page->Caption()->geometry(), page->GetDlgItem(IDC_SETTINGS_BAR)->geometry());
    EXPECT_EQ(page->pos(), QPoint(136, 34));
}

TEST_F(PageTest, DayFieldTakesOneDigitAndAnEmptyFieldAppliesZero) {
    auto page = Make<CSettingsPage>();
    auto* field = page->GetDlgItemAs<EditControl>(IDC_SETTINGS_DAYS);
    field->selectAll();
    QTest::keyClicks(field, "78");
    EXPECT_EQ(field->text(), "7");
    field->clear();
    QTest::keyClicks(field, "a");
    EXPECT_EQ(field->text(), "");

    Click(*page, IDOK);
    EXPECT_EQ(notifyDays, 0u);
    EXPECT_EQ(ReadBytes(kSettingsPath), (std::vector<std::uint8_t>{0, 0, 0, 0, 1, 0, 0, 0}));
    EXPECT_EQ(host_.events, (Events{"closed"}));
    EXPECT_FALSE(page->isVisible());
}

TEST_F(PageTest, ConfirmBoxActsAtOnceWithoutWritingAndTwiceRestores) {
    auto page = Make<CSettingsPage>();
    Click(*page, IDC_SETTINGS_CONFIRM);
    EXPECT_EQ(confirmDelete, 0);
    EXPECT_FALSE(fs::exists(kSettingsPath));
    Click(*page, IDC_SETTINGS_CONFIRM);
    EXPECT_EQ(confirmDelete, 1);
    Click(*page, IDC_SETTINGS_CONFIRM);
    auto* field = page->GetDlgItemAs<EditControl>(IDC_SETTINGS_DAYS);
    field->selectAll();
    QTest::keyClicks(field, "9");
    EXPECT_EQ(notifyDays, 3u); // the day count waits for Apply
    Click(*page, IDOK);
    EXPECT_EQ(ReadBytes(kSettingsPath), (std::vector<std::uint8_t>{9, 0, 0, 0, 0, 0, 0, 0}));
}

TEST_F(PageTest, EnterDoesNotApplyAndEscapeDoesNotCloseTheSettings) {
    auto page = Make<CSettingsPage>();
    auto* field = page->GetDlgItemAs<EditControl>(IDC_SETTINGS_DAYS);
    QTest::keyClick(field, Qt::Key_Return);
    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_TRUE(page->isVisible());
    EXPECT_TRUE(host_.events.empty());
    EXPECT_FALSE(fs::exists(kSettingsPath));
}

TEST_F(PageTest, FailedSettingsWriteIsReportedAndTheValuesStayForThisRun) {
    auto page = Make<CSettingsPage>();
    auto* field = page->GetDlgItemAs<EditControl>(IDC_SETTINGS_DAYS);
    field->selectAll();
    QTest::keyClicks(field, "5");
    fs::rename("Base", "Base.away");
    Click(*page, IDOK);
    fs::rename("Base.away", "Base");
    ASSERT_EQ(boxes_.Calls().size(), 1u);
    // In the language file's words, the settings file named whole.
    EXPECT_TRUE(
        boxes_.Calls()[0].text.startsWith(QString::fromUtf8("Не удалось записать Base/tovrin.ini")))
        << boxes_.Calls()[0].text.toStdString();
    EXPECT_NE(boxes_.Calls()[0].text.indexOf(QString::fromUtf8("Новые настройки действуют")), -1);
    EXPECT_EQ(notifyDays, 5u);
    EXPECT_EQ(host_.events, (Events{"closed"}));
    EXPECT_FALSE(fs::exists(kSettingsPath));
}

TEST_F(PageTest, ALongerDayCountFromTheFileIsShownWholeAndKept) {
    notifyDays = 30;
    auto page = Make<CSettingsPage>();
    EXPECT_EQ(page->GetDlgItemText(IDC_SETTINGS_DAYS), "30");
    Click(*page, IDOK);
    EXPECT_EQ(notifyDays, 30u);
    EXPECT_EQ(ReadBytes(kSettingsPath), (std::vector<std::uint8_t>{30, 0, 0, 0, 1, 0, 0, 0}));
}

// Typing keeps its one-digit limit even when the file held a longer count, and no count the
// field can show (up to the largest the file holds) turns into another on Apply.
TEST_F(PageTest, ALongerDayCountDoesNotRaiseTheTypingLimit) {
    notifyDays = 12;
    auto page = Make<CSettingsPage>();
    auto* field = page->GetDlgItemAs<EditControl>(IDC_SETTINGS_DAYS);
    field->setFocus();
    field->end(false);
    QTest::keyClicks(field, "3");
    EXPECT_EQ(field->text(), "12");
    QTest::keyClick(field, Qt::Key_Backspace);
    EXPECT_EQ(field->text(), "1");
    QTest::keyClicks(field, "45");
    EXPECT_EQ(field->text(), "1");
    // Back to the value the page showed: that is still allowed, and still 12.
    QTest::keyClicks(field, "2");
    EXPECT_EQ(field->text(), "12");
    field->selectAll();
    QTest::keyClicks(field, "7");
    EXPECT_EQ(field->text(), "7");
    Click(*page, IDOK);
    EXPECT_EQ(notifyDays, 7u);

    notifyDays = 4294967295u; // ten digits, the most the file can hold
    auto largest = Make<CSettingsPage>();
    field = largest->GetDlgItemAs<EditControl>(IDC_SETTINGS_DAYS);
    EXPECT_EQ(field->text(), "4294967295");
    Click(*largest, IDOK);
    EXPECT_EQ(notifyDays, 4294967295u);
    EXPECT_EQ(ReadBytes(kSettingsPath),
              (std::vector<std::uint8_t>{0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0}));

    // Once a one-digit limit raised this far let a typed 9 overflow into 0.
    auto edited = Make<CSettingsPage>();
    field = edited->GetDlgItemAs<EditControl>(IDC_SETTINGS_DAYS);
    field->setFocus();
    field->end(false);
    QTest::keyClick(field, Qt::Key_Backspace);
    EXPECT_EQ(field->text(), "429496729");
    QTest::keyClicks(field, "9");
    EXPECT_EQ(field->text(), "429496729");
    Click(*edited, IDOK);
    EXPECT_EQ(notifyDays, 429496729u);
    EXPECT_TRUE(boxes_.Calls().empty());
}

// The about page.

TEST_F(PageTest, AboutTextIsPreparedNeverFormatted) {
    test::WriteText(kLangPath, "[About]\n1=About Tovrin\n2=Tovrin v3.3\\n\\n100%% sure, %s %n "
                               "%d\n3=Close\n");
    auto page = Make<CAboutPage>();
    auto* text = page->GetDlgItemAs<StaticControl>(IDC_ABOUT_TEXT);
    EXPECT_EQ(text->Text(), "Tovrin v3.3\n\r\n\r100% sure, %s %n %d");
    EXPECT_EQ(page->GetDlgItemText(IDOK), "Close");
    EXPECT_EQ(page->Caption()->GetWindowText(), "About Tovrin");
    EXPECT_EQ(page->Caption()->geometry(), QRect(0, 0, 384, 26));
    EXPECT_EQ(page->Link()->GetWindowText(), LoadStringResource(IDS_WEB_ADDRESS));
    EXPECT_FALSE(page->Link()->GetWindowText().isEmpty());
    EXPECT_EQ(page->Link()->pos(), QPoint(43, 112));
    EXPECT_EQ(page->pos(), QPoint(136, 34));
    EXPECT_FALSE(quits_.Posted());
}

TEST_F(PageTest, AboutClosesByOkEnterAndEscapeAlike) {
    for (const int way : {0, 1, 2}) {
        host_.events.clear();
        auto page = Make<CAboutPage>();
        if (way == 0) {
            Click(*page, IDOK);
        } else {
            QTest::keyClick(page.get(), way == 1 ? Qt::Key_Return : Qt::Key_Escape);
        }
        EXPECT_EQ(host_.events, (Events{"closed"})) << way;
        EXPECT_FALSE(page->isVisible()) << way;
    }
}

} // namespace
} // namespace tovrin
