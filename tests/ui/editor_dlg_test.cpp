#include "ui/editor_dlg.h"

#include "controls/static_bar.h"
#include "core/lang/lang_keys.h"
#include "editor_fixture.h"
#include "platform/date_time_picker.h"
#include "platform/edit_control.h"
#include "platform/lang_texts.h"
#include "platform/list_view.h"
#include "platform/shell.h"
#include "res/resource.h"
#include "ui/about_page.h"
#include "ui/modify_page.h"
#include "ui/settings_page.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QPointer>
#include <QTest>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <memory>
#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tovrin {
namespace {

namespace fs = std::filesystem;
using test::At;
using test::PutStore;
using test::ReadBytes;
using test::Rec;
using Texts = std::vector<std::string>;

class EditorWindow : public test::EditorFixture {
protected:
    std::unique_ptr<CEditorDlg> Open() {
        auto editor = std::make_unique<CEditorDlg>(nullptr, &owner_);
        EXPECT_TRUE(editor->Create());
        EXPECT_TRUE(editor->IsWindow());
        EXPECT_TRUE(QTest::qWaitForWindowExposed(editor.get()));
        editor->SetShellOpener(
            [this](const QString& target, const ShellOpenDone& done, const OpenerTexts&) {
                opened_.push_back(target);
                done({});
            });
        return editor;
    }

    static Texts Rows(const CEditorDlg& editor, int column = 1) {
        Texts rows;
        for (int row = 0; row < editor.List()->GetItemCount(); ++row) {
            rows.push_back(editor.List()->GetItemText(row, column).toStdString());
        }
        return rows;
    }

    // Fills in and confirms the record edit page the editor shows.
    static void FillAndConfirm(CEditorDlg& editor, const QString& text, int modeBox,
                               const SYSTEMTIME* when = nullptr) {
        auto* page = qobject_cast<CModifyPage*>(editor.HeldPage());
        ASSERT_NE(page, nullptr);
        page->MessageField()->setText(text);
        if (modeBox != 0) {
            page->GetDlgItemAs<QAbstractButton>(modeBox)->click();
        }
        if (when != nullptr) {
            page->Picker()->SetSystemTime(*when);
        }
        page->GetDlgItemAs<QAbstractButton>(IDOK)->click();
    }

    static void ClickHeading(CEditorDlg& editor, int column) {
        QHeaderView* header = editor.List()->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {},
                          QPoint(header->sectionViewportPosition(column) + 10, 5));
    }

    test::OwnerSpy owner_;
    std::vector<QString> opened_;
};

TEST_F(EditorWindow, MissingStoreOpensEmptyAndAnUnchangedCloseLeavesItEmpty) {
    auto editor = Open();
    EXPECT_EQ(editor->List()->GetItemCount(), 0);
    ASSERT_TRUE(fs::exists(kStorePath));
    EXPECT_EQ(fs::file_size(kStorePath), 0u);

    EXPECT_TRUE(editor->CloseAndSave());
    EXPECT_FALSE(editor->IsWindow());
    EXPECT_EQ(fs::file_size(kStorePath), 0u);
    EXPECT_EQ(owner_.calls, 0);
    EXPECT_TRUE(boxes_.Calls().empty());
    EXPECT_FALSE(quits_.Posted());
}

TEST_F(EditorWindow, UnchangedCloseKeepsTheFileBytesAndTime) {
    PutStore({Rec(MODE_YEARLY, At(1990, 5, 5), "b"), Rec(MODE_ONCE, At(2026, 12, 8, 9), "a")});
    const auto old = fs::last_write_time(kStorePath) - std::chrono::hours(24 * 365);
    fs::last_write_time(kStorePath, old);
    const auto bytes = ReadBytes(kStorePath);

    auto editor = Open();
    ClickHeading(*editor, 1);
    editor->OnCommand(ID_PANE_SETTINGS);
    editor->OnCommand(ID_PANE_ABOUT);
    EXPECT_TRUE(editor->CloseAndSave());

    EXPECT_EQ(ReadBytes(kStorePath), bytes);
    EXPECT_EQ(fs::last_write_time(kStorePath), old);
}

TEST_F(EditorWindow, RowsShowDayMonthNameAndClocksInCalendarOrder) {
    PutStore({
        Rec(MODE_ONCE, At(2031, 3, 14, 14, 30), "once"),
        Rec(MODE_DAILY, At(2024, 1, 1, 8), "daily"),
        Rec(MODE_YEARLY, At(1990, 5, 5), "yearly"),
        Rec(MODE_MONTHLY, At(2029, 1, 28), "monthly"),
        Rec(MODE_ONCE, At(2026, 12, 7, 23, 59), "expired"),
    });
    auto editor = Open();
    EXPECT_EQ(Rows(*editor), (Texts{"daily", "monthly", "once", "yearly"}));
    const LangTexts names = LoadSectionTexts(kLangEditor, {22, 24, 26});
    ListView* list = editor->List();
    EXPECT_EQ(list->GetItemText(0, 0), "01 " + names[22]);
    EXPECT_EQ(list->GetItemText(2, 0), "14 " + names[24]);
    // 5 May: the digits 0 and 5, a space, the name of key 26.
    EXPECT_EQ(list->GetItemText(3, 0), "05 " + names[26]);
    EXPECT_EQ(list->GetItemImage(0), 1);
    EXPECT_EQ(list->GetItemImage(1), ListView::kNoImage);
    EXPECT_EQ(list->GetItemImage(2), 0);
    EXPECT_EQ(list->GetItemImage(3), ListView::kNoImage);
    // The expired once reminder is gone from the file after a close with no other change.
    EXPECT_TRUE(editor->CloseAndSave());
    EXPECT_EQ(StoredTexts(), (Texts{"once", "daily", "yearly", "monthly"}));
}

TEST_F(EditorWindow, ClickingTheMessageHeadingSortsByTextIgnoringCase) {
    PutStore({Rec(MODE_YEARLY, At(1990, 1, 3), "banana"),
              Rec(MODE_YEARLY, At(1990, 1, 1), "Cherry"),
              Rec(MODE_YEARLY, At(1990, 1, 2), "apple")});
    auto editor = Open();
    editor->List()->SelectRow(0); // Cherry, first by date
    ClickHeading(*editor, 1);
    EXPECT_EQ(Rows(*editor), (Texts{"apple", "banana", "Cherry"}));
    EXPECT_EQ(editor->List()->GetSelectedRow(), 2);
    ClickHeading(*editor, 1);
    EXPECT_EQ(Rows(*editor), (Texts{"apple", "banana", "Cherry"}));
    ClickHeading(*editor, 0);
    EXPECT_EQ(Rows(*editor), (Texts{"Cherry", "apple", "banana"}));
}

TEST_F(EditorWindow, AddedRecordLandsAtTheBottomSelectedAndInViewWhileTheFileKeepsStoreOrder) {
    std::vector<ReminderRecord> many;
    for (int i = 0; i < 60; ++i) {
        many.push_back(Rec(MODE_YEARLY, At(1990, 1 + i % 12, 1 + i % 28), "r" + std::to_string(i)));
    }
    PutStore(many);
    auto editor = Open();
    ClickHeading(*editor, 1);

    editor->OnCommand(ID_PANE_ADD);
    EXPECT_FALSE(editor->List()->isVisible());
    const SYSTEMTIME when = At(2027, 2, 3, 4, 5, 6, 7);
    FillAndConfirm(*editor, "aaa first by text", 0, &when);

    ListView* list = editor->List();
    EXPECT_TRUE(list->isVisible());
    EXPECT_TRUE(list->isEnabled());
    ASSERT_EQ(list->GetItemCount(), 61);
    EXPECT_EQ(list->GetItemText(60, 1), "aaa first by text");
    EXPECT_EQ(list->GetSelectedRow(), 60);
    EXPECT_EQ(list->GetFocusedRow(), 60);
    QApplication::processEvents();
    const QRect shown = list->visualRect(list->model()->index(60, 0));
    EXPECT_TRUE(list->viewport()->rect().intersects(shown));
    EXPECT_EQ(editor->State().pageCommand, -1);

    EXPECT_TRUE(editor->CloseAndSave());
    EXPECT_EQ(owner_.calls, 0); // not a timed record
    const Texts stored = StoredTexts();
    ASSERT_EQ(stored.size(), 61u);
    EXPECT_EQ(stored.front(), "r0");
    EXPECT_EQ(stored.back(), "aaa first by text");
    std::vector<ReminderRecord> records;
    ReadStore(kStorePath, IfMissing::LeaveAlone, records);
    EXPECT_EQ(records.back().mode, MODE_NONE);
    SYSTEMTIME withWeekday = when;
    withWeekday.wDayOfWeek = 3; // the picker names the weekday: a Wednesday
    EXPECT_EQ(records.back().when, withWeekday);
}

TEST_F(EditorWindow, ChangingARecordReplacesItInPlace) {
    PutStore({Rec(MODE_YEARLY, At(1990, 9, 1), "september"),
              Rec(MODE_DAILY, At(2020, 1, 1, 7), "wake up")});
    auto editor = Open();
    ListView* list = editor->List();
    list->SelectRow(0); // "wake up", January
    editor->OnCommand(ID_PANE_MODIFY);
    auto* page = qobject_cast<CModifyPage*>(editor->HeldPage());
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->MessageField()->text(), "wake up");
    EXPECT_EQ(page->LoadedRecord().mode, MODE_DAILY);
    page->MessageField()->setText("wake up later");
    page->GetDlgItemAs<QAbstractButton>(IDOK)->click();

    EXPECT_EQ(Rows(*editor), (Texts{"wake up later", "september"}));
    EXPECT_EQ(list->GetSelectedRow(), 0);
    EXPECT_TRUE(editor->State().timedChanged);
    EXPECT_TRUE(editor->CloseAndSave());
    EXPECT_EQ(StoredTexts(), (Texts{"september", "wake up later"}));
}

TEST_F(EditorWindow, DoubleClickOnARowOpensItForChange) {
    PutStore({Rec(MODE_YEARLY, At(1990, 9, 1), "september")});
    auto editor = Open();
    ListView* list = editor->List();
    const QRect cell = list->visualRect(list->model()->index(0, 1));
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    auto* page = qobject_cast<CModifyPage*>(editor->HeldPage());
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->MessageField()->text(), "september");
    EXPECT_EQ(editor->State().pageCommand, ID_PANE_MODIFY);
}

TEST_F(EditorWindow, OwnerRebuildsTodayBeforeTheStoreIsWrittenOnlyForTimedRecords) {
    PutStore({Rec(MODE_YEARLY, At(1990, 9, 1), "september")});
    const auto before = ReadBytes(kStorePath);
    auto editor = Open();
    editor->OnCommand(ID_PANE_ADD);
    FillAndConfirm(*editor, "yearly", IDC_MODE_YEARLY);
    editor->OnCommand(ID_PANE_ADD);
    FillAndConfirm(*editor, "daily", IDC_MODE_DAILY);
    // The owner may set today's date on daily records; that is what gets written.
    owner_.change = [](std::span<ReminderRecord* const> records) { records.back()->when.wDay = 9; };
    EXPECT_TRUE(editor->CloseAndSave());
    EXPECT_EQ(owner_.calls, 1);
    EXPECT_EQ(owner_.seen, (Texts{"september", "yearly", "daily"}));
    EXPECT_EQ(owner_.storeDuringCall, before);
    std::vector<ReminderRecord> records;
    ReadStore(kStorePath, IfMissing::LeaveAlone, records);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[2].mode, MODE_DAILY);
    EXPECT_EQ(records[2].when.wDay, 9);
}

TEST_F(EditorWindow, DeletingAnOpenEditorStillSavesWithoutCallingTheOwner) {
    auto editor = Open();
    editor->OnCommand(ID_PANE_ADD);
    FillAndConfirm(*editor, "daily", IDC_MODE_DAILY);
    editor.reset();
    EXPECT_EQ(StoredTexts(), (Texts{"daily"}));
    EXPECT_EQ(owner_.calls, 0);
}

TEST_F(EditorWindow, DeleteAsksWhenConfiguredAndCancelKeepsEverything) {
    PutStore({Rec(MODE_YEARLY, At(1990, 1, 1), "one"), Rec(MODE_YEARLY, At(1990, 2, 1), "two"),
              Rec(MODE_YEARLY, At(1990, 3, 1), "three")});
    auto editor = Open();
    ListView* list = editor->List();
    const LangTexts texts = LoadSectionTexts(kLangEditor, {5, 6});

    boxes_.SetAnswer(IDCANCEL);
    list->SelectRow(1);
    editor->OnCommand(ID_PANE_DELETE);
    ASSERT_EQ(boxes_.Calls().size(), 1u);
    EXPECT_EQ(boxes_.Calls()[0].text, texts[5]);
    EXPECT_EQ(boxes_.Calls()[0].caption, texts[6]);
    EXPECT_EQ(boxes_.Calls()[0].type & MB_TYPEMASK, MB_OKCANCEL);
    EXPECT_EQ(Rows(*editor), (Texts{"one", "two", "three"}));
    EXPECT_FALSE(editor->State().modified);

    boxes_.SetAnswer(IDOK);
    editor->OnCommand(ID_PANE_DELETE);
    EXPECT_EQ(Rows(*editor), (Texts{"one", "three"}));
    EXPECT_EQ(list->GetSelectedRow(), 1); // the row that followed

    confirmDelete = 0;
    boxes_.Clear();
    editor->OnCommand(ID_PANE_DELETE);
    EXPECT_TRUE(boxes_.Calls().empty());
    EXPECT_EQ(Rows(*editor), (Texts{"one"}));
    EXPECT_EQ(list->GetSelectedRow(), -1); // the last row went: nothing follows
    editor->OnCommand(ID_PANE_DELETE);
    EXPECT_EQ(Rows(*editor), (Texts{"one"}));

    EXPECT_FALSE(editor->State().timedChanged);
    EXPECT_TRUE(editor->CloseAndSave());
    EXPECT_EQ(owner_.calls, 0);
    EXPECT_EQ(StoredTexts(), (Texts{"one"}));
}

TEST_F(EditorWindow, PagesTakeTurnsOverTheList) {
    PutStore({Rec(MODE_YEARLY, At(1990, 1, 1), "one")});
    auto editor = Open();
    ListView* list = editor->List();
    list->SelectRow(0);

    editor->OnCommand(ID_PANE_SETTINGS);
    QPointer<Dialog> settings = editor->HeldPage();
    ASSERT_NE(qobject_cast<CSettingsPage*>(settings), nullptr);
    EXPECT_TRUE(settings->isVisible());
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(settings->pos(), QPoint(136, 34));
    editor->OnCommand(ID_PANE_SETTINGS);
    EXPECT_EQ(editor->HeldPage(), settings.data());

    // The list's commands do nothing while a page is shown; help leaves the page alone.
    test::WriteText("Base/Help.chm", "ITSF");
    editor->OnCommand(ID_PANE_DELETE);
    editor->OnCommand(ID_PANE_MODIFY);
    editor->OnCommand(ID_PANE_HELP);
    EXPECT_EQ(editor->HeldPage(), settings.data());
    EXPECT_EQ(list->GetItemCount(), 1);
    EXPECT_TRUE(boxes_.Calls().empty());
    EXPECT_EQ(opened_, (std::vector<QString>{QDir::toNativeSeparators(
                           QDir::current().absoluteFilePath("Base/Help.chm"))}));

    editor->OnCommand(ID_PANE_ABOUT);
    EXPECT_TRUE(settings.isNull());
    QPointer<Dialog> about = editor->HeldPage();
    ASSERT_NE(qobject_cast<CAboutPage*>(about), nullptr);
    EXPECT_TRUE(about->isVisible());
    editor->OnCommand(ID_PANE_ABOUT);
    EXPECT_EQ(editor->HeldPage(), about.data());

    editor->OnCommand(ID_PANE_ADD);
    EXPECT_TRUE(about.isNull());
    QPointer<Dialog> first = editor->HeldPage();
    ASSERT_NE(qobject_cast<CModifyPage*>(first), nullptr);
    editor->OnCommand(ID_PANE_ADD);
    EXPECT_TRUE(first.isNull());
    QPointer<Dialog> second = editor->HeldPage();
    ASSERT_NE(qobject_cast<CModifyPage*>(second), nullptr);
    EXPECT_EQ(qobject_cast<CModifyPage*>(second)->LoadedRecord().mode, -1);

    second->GetDlgItemAs<QAbstractButton>(IDCANCEL)->click();
    EXPECT_TRUE(list->isVisible());
    EXPECT_FALSE(second->isVisible());
    EXPECT_EQ(editor->State().pageCommand, -1);
    EXPECT_EQ(list->GetItemCount(), 1);
    // The closed page is held until the next page or the close.
    EXPECT_EQ(editor->HeldPage(), second.data());
    EXPECT_TRUE(editor->CloseAndSave());
    EXPECT_TRUE(second.isNull());
}

TEST_F(EditorWindow, HelpThatCannotBeOpenedIsExplained) {
    auto editor = Open();
    editor->OnCommand(ID_PANE_HELP);
    ASSERT_EQ(boxes_.Calls().size(), 1u);
    // Worded by the language file; the missing file is named whole in any language.
    EXPECT_NE(boxes_.Calls()[0].text.indexOf(
                  QDir::toNativeSeparators(QDir::current().absoluteFilePath("Base/Help.chm"))),
              -1);
    EXPECT_TRUE(opened_.empty());

    // The opener's answer comes later, when the editor may be gone: the box then stands alone.
    test::WriteText("Base/Help.chm", "ITSF");
    ShellOpenDone answer;
    editor->SetShellOpener(
        [&answer](const QString&, ShellOpenDone done, const OpenerTexts&) { answer = done; });
    editor->OnCommand(ID_PANE_HELP);
    ASSERT_TRUE(answer);
    EXPECT_EQ(boxes_.Calls().size(), 1u);
    answer("no viewer");
    ASSERT_EQ(boxes_.Calls().size(), 2u);
    EXPECT_EQ(boxes_.Calls()[1].text, "no viewer");
    EXPECT_EQ(boxes_.Calls()[1].owner, editor.get());

    editor->OnCommand(ID_PANE_HELP);
    EXPECT_TRUE(editor->CloseAndSave());
    editor.reset();
    answer("no viewer, later");
    ASSERT_EQ(boxes_.Calls().size(), 3u);
    EXPECT_EQ(boxes_.Calls()[2].owner, nullptr);
}

#ifndef _WIN32 // xdg-open is the Linux desktop's opener; Windows has its shell
// The desktop's own opener, played by a script on PATH that records what it was given and ends
// as told: its status is what decides whether the user hears of a failure.
class HelpOpener : public EditorWindow {
protected:
    HelpOpener() {
        const char* path = std::getenv("PATH");
        oldPath_ = path != nullptr ? path : "";
        fs::create_directory(bin_);
        ::setenv("PATH", (bin_.string() + ":" + oldPath_).c_str(), 1);
        test::WriteText("Base/Help.chm", "ITSF");
    }
    ~HelpOpener() override { ::setenv("PATH", oldPath_.c_str(), 1); }

    void PutOpener(int status) {
        const fs::path script = bin_ / "xdg-open";
        test::WriteText(script, "#!/bin/sh\nprintf '%s\\n' \"$@\" >> \"" +
                                    (base_.Dir() / "opened").string() + "\"\nexit " +
                                    std::to_string(status) + "\n");
        ::chmod(script.c_str(), 0755);
    }

    // Asks for the help with the real opener and waits for its answer (a box, or the record).
    void AskForHelp(CEditorDlg& editor, std::size_t boxes) {
        editor.SetShellOpener(ShellOpenFile);
        editor.OnCommand(ID_PANE_HELP);
        EXPECT_TRUE(QTest::qWaitFor([&] { return boxes_.Calls().size() >= boxes; }, 10000));
    }

    static std::string Opened() {
        if (!fs::exists("opened")) {
            return {};
        }
        const std::vector<std::uint8_t> bytes = ReadBytes("opened");
        return {bytes.begin(), bytes.end()};
    }

    fs::path bin_ = base_.Dir() / "bin";
    std::string oldPath_;
};

TEST_F(HelpOpener, TheHelpGoesToTheOpenerAsALocalFileAndItsFailureIsReported) {
    fs::copy_file(test::SourceDir() / "res/Base/english.lng", kLangPath,
                  fs::copy_options::overwrite_existing);
    auto editor = Open();
    PutOpener(0);
    AskForHelp(*editor, 0);
    EXPECT_TRUE(QTest::qWaitFor([] { return !Opened().empty(); }, 10000));
    QTest::qWait(100); // a box would come at once after the opener ends
    const std::string help = (fs::current_path() / "Base/Help.chm").string();
    EXPECT_EQ(Opened(), help + "\n");
    EXPECT_TRUE(boxes_.Calls().empty());

    PutOpener(3); // xdg-open: no program for this kind of file
    AskForHelp(*editor, 1);
    ASSERT_EQ(boxes_.Calls().size(), 1u);
    EXPECT_NE(boxes_.Calls()[0].text.indexOf("no program to open"), -1);
    EXPECT_NE(boxes_.Calls()[0].text.indexOf(QString::fromStdString(help)), -1);

    PutOpener(1);
    AskForHelp(*editor, 2);
    ASSERT_EQ(boxes_.Calls().size(), 2u);
    EXPECT_NE(boxes_.Calls()[1].text.indexOf("status 1"), -1);

    fs::remove(bin_ / "xdg-open");
    ::setenv("PATH", bin_.c_str(), 1); // and no other opener anywhere
    AskForHelp(*editor, 3);
    ASSERT_EQ(boxes_.Calls().size(), 3u);
    EXPECT_NE(boxes_.Calls()[2].text.indexOf("could not be started"), -1);
    EXPECT_EQ(Opened(), help + "\n" + help + "\n" + help + "\n");

    // An editor opened with the Russian file tells the same in Russian.
    fs::copy_file(test::SourceDir() / "res/Base/default.lng", kLangPath,
                  fs::copy_options::overwrite_existing);
    editor.reset();
    editor = Open();
    AskForHelp(*editor, 4);
    ASSERT_EQ(boxes_.Calls().size(), 4u);
    EXPECT_TRUE(boxes_.Calls()[3].text.startsWith(
        QString::fromUtf8("Не удалось открыть файл справки ") + QString::fromStdString(help)))
        << boxes_.Calls()[3].text.toStdString();
    EXPECT_NE(boxes_.Calls()[3].text.indexOf("xdg-utils"), -1);
}
#endif

TEST_F(EditorWindow, EscapeAndEnterInTheListNeitherCloseTheEditorNorOpenTheRow) {
    PutStore({Rec(MODE_YEARLY, At(1990, 1, 1), "one")});
    auto editor = Open();
    editor->List()->setFocus();
    editor->List()->SelectRow(0);
    QTest::keyClick(editor->List(), Qt::Key_Escape);
    QTest::keyClick(editor->List(), Qt::Key_Return);
    QTest::keyClick(editor->List(), Qt::Key_Enter);
    EXPECT_TRUE(editor->IsWindow());
    EXPECT_TRUE(editor->isVisible());
    EXPECT_EQ(editor->HeldPage(), nullptr);
    EXPECT_EQ(editor->List()->GetSelectedRow(), 0);
}

TEST_F(EditorWindow, PaneCaptionsAndTitleComeFromTheEditorSection) {
    auto editor = Open();
    const LangTexts texts = LoadSectionTexts(kLangEditor, {1, 4, 9, 14, 34, 35});
    EXPECT_EQ(editor->windowTitle(), texts[4]);
    EXPECT_EQ(editor->OnGetText(9), texts[9]);
    EXPECT_EQ(editor->OnGetText(35), texts[35]);
    EXPECT_EQ(editor->TopBar()->GetWindowText(), texts[1]);
    EXPECT_EQ(editor->TopBar()->geometry(), QRect(0, 0, 518, 27));
    EXPECT_EQ(editor->BottomBar()->geometry().bottom(), editor->height() - 1);
    EXPECT_EQ(editor->width(), 519);
}

// Closing when the store cannot be written: the user is told, the old file stays, and the
// records stay until they are saved or the user gives them up.
class EditorSaveFailure : public EditorWindow {
protected:
    void SetUp() override {
        PutStore({Rec(MODE_YEARLY, At(1990, 1, 1), "old")});
        before_ = ReadBytes(kStorePath);
        editor_ = Open();
        editor_->OnCommand(ID_PANE_ADD);
        FillAndConfirm(*editor_, "new", IDC_MODE_ONCE);
        // Without its folder the store cannot be written at all.
        fs::rename("Base", "Base.away");
    }

    std::vector<std::uint8_t> before_;
    std::unique_ptr<CEditorDlg> editor_;
};

TEST_F(EditorSaveFailure, KeepingTheEditorOpenLosesNothing) {
    boxes_.SetAnswer(IDCANCEL);
    EXPECT_FALSE(editor_->CloseAndSave());
    EXPECT_TRUE(editor_->IsWindow());
    ASSERT_EQ(boxes_.Calls().size(), 2u);
    EXPECT_NE(boxes_.Calls()[0].text.indexOf("Base/ztovrin.dat"), -1);
    EXPECT_EQ(editor_->State().recordCount(), 2);
    EXPECT_EQ(ReadBytes("Base.away/ztovrin.dat"), before_);

    // Later the folder is back and the close goes through.
    fs::rename("Base.away", "Base");
    boxes_.Clear();
    EXPECT_TRUE(editor_->CloseAndSave());
    EXPECT_TRUE(boxes_.Calls().empty());
    EXPECT_EQ(StoredTexts(), (Texts{"old", "new"}));
}

TEST_F(EditorSaveFailure, TryingAgainAfterTheCauseIsGoneSaves) {
    boxes_.SetAnswerer([](const MessageBoxCall&) {
        fs::rename("Base.away", "Base");
        return IDOK;
    });
    EXPECT_TRUE(editor_->CloseAndSave());
    EXPECT_FALSE(editor_->IsWindow());
    EXPECT_EQ(boxes_.Calls().size(), 1u);
    EXPECT_EQ(StoredTexts(), (Texts{"old", "new"}));
    EXPECT_EQ(owner_.calls, 1);
}

TEST_F(EditorSaveFailure, DiscardingIsTheUsersChoiceAndLeavesTheOldFile) {
    int asked = 0;
    boxes_.SetAnswerer([&](const MessageBoxCall&) { return ++asked == 1 ? IDCANCEL : IDOK; });
    EXPECT_TRUE(editor_->CloseAndSave());
    EXPECT_FALSE(editor_->IsWindow());
    EXPECT_EQ(asked, 2);
    fs::rename("Base.away", "Base");
    EXPECT_EQ(ReadBytes(kStorePath), before_);
}

TEST_F(EditorSaveFailure, TheTitleBarCloseTakesTheSameRoad) {
    boxes_.SetAnswer(IDCANCEL);
    editor_->close();
    EXPECT_TRUE(editor_->IsWindow());
    EXPECT_TRUE(editor_->isVisible());
    EXPECT_EQ(boxes_.Calls().size(), 2u);
    fs::rename("Base.away", "Base");
}

TEST_F(EditorWindow, AStoreThatCouldNotBeReadIsNotOverwrittenWithoutAsking) {
    fs::create_directory(kStorePath); // unreadable as a store, for root too
    auto editor = Open();
    EXPECT_TRUE(editor->CloseAndSave()); // nothing changed: nothing to ask
    EXPECT_TRUE(boxes_.Calls().empty());

    editor = Open();
    editor->OnCommand(ID_PANE_ADD);
    FillAndConfirm(*editor, "new", IDC_MODE_YEARLY);
    boxes_.SetAnswer(IDCANCEL);
    EXPECT_FALSE(editor->CloseAndSave());
    ASSERT_EQ(boxes_.Calls().size(), 2u);
    // In the language file's words (the shipped Russian file here).
    const QString unreadable = QString::fromUtf8("не удалось прочитать полностью");
    EXPECT_NE(boxes_.Calls()[0].text.indexOf(unreadable), -1);
    EXPECT_TRUE(editor->IsWindow());

    boxes_.SetAnswerer([unreadable](const MessageBoxCall& call) {
        return call.text.indexOf(unreadable) != -1 ? IDCANCEL : IDOK;
    });
    EXPECT_TRUE(editor->CloseAndSave());
    EXPECT_TRUE(fs::is_directory(kStorePath));
}

#ifndef _WIN32
// A full disk, made for real on a small memory file system; needs root to mount it.
TEST_F(EditorWindow, AFullDiskAtCloseLosesNothing) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "mounting a small file system needs root";
    }
    fs::copy_file(kLangPath, "default.lng");
    if (std::system("mount -t tmpfs -o size=64k tmpfs Base 2>/dev/null") != 0) {
        GTEST_SKIP() << "cannot mount a tmpfs here";
    }
    struct Unmount {
        ~Unmount() { (void)std::system("umount Base 2>/dev/null"); }
    } unmount;
    fs::copy_file("default.lng", kLangPath);
    PutStore({Rec(MODE_YEARLY, At(1990, 1, 1), "old")});
    const auto before = ReadBytes(kStorePath);
    auto editor = Open();
    editor->OnCommand(ID_PANE_ADD);
    FillAndConfirm(*editor, "new", IDC_MODE_YEARLY);
    ASSERT_EQ(std::system("dd if=/dev/zero of=Base/fill bs=4k 2>/dev/null; true"), 0);

    boxes_.SetAnswerer([&](const MessageBoxCall& call) {
        EXPECT_NE(call.text.indexOf(QString::fromLocal8Bit(std::strerror(ENOSPC))), -1)
            << call.text.toStdString();
        EXPECT_EQ(ReadBytes(kStorePath), before);
        fs::remove("Base/fill");
        return IDOK;
    });
    EXPECT_TRUE(editor->CloseAndSave());
    EXPECT_EQ(boxes_.Calls().size(), 1u);
    EXPECT_EQ(StoredTexts(), (Texts{"old", "new"}));
}
#endif

} // namespace
} // namespace tovrin
