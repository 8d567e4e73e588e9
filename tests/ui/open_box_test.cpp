#include "core/lang/lang_keys.h"
#include "core/store/store_file.h"
#include "platform/lang_texts.h"
#include "platform/list_view.h"
#include "platform/nested_loop.h"
#include "res/resource.h"
#include "ui/editor_dlg.h"
#include "ui/manager_dlg.h"
#include "ui/notify_dlg.h"
#include "ui/settings_page.h"
#include "window_fixture.h"

#include <QAbstractButton>
#include <QImage>
#include <QMenu>
#include <QPointer>
#include <QScreen>

#include <algorithm>
#include <memory>

// Every box a window can show, held open the way a user leaves one open, while the tray's
// commands and the timer arrive inside its loop: the window that asked must still be there when
// the box returns, nothing the user did not answer may happen, and the commands that would take a
// window away bring the box back to the front instead. Exit alone goes through: the box ends as
// Cancel (OK when that is its only button) and the program leaves, saving the editor.
namespace tovrin {
namespace {

namespace fs = std::filesystem;
using test::At;
using test::PutStore;
using test::Rec;
using Texts = std::vector<std::string>;

// Whether a box shows the editor's text of that key, as the language file words it, up to the
// first value put into it.
bool ShowsEditorText(const MessageBoxCall& call, long key) {
    const QString text = AddedText(kLangEditor, key, QString());
    const QString fixed = text.left(text.indexOf(QLatin1Char('%')));
    return !fixed.isEmpty() && call.text.contains(fixed);
}

class OpenBoxTest : public test::WindowTest {
protected:
    void SetUp() override {
        dlg_ = std::make_unique<CManagerDlg>();
        ASSERT_TRUE(dlg_->Create());
    }
    void TearDown() override {
        dlg_.reset();
        QCoreApplication::sendPostedEvents();
    }

    // Everything the tray and the timer can ask for but Exit, in the order a restless user
    // might. Returns how many times the box must have come to the front for them.
    int EveryCommand() {
        const bool journalHidden = !dlg_->isVisible();
        dlg_->OnCommand(ID_EDITOR);
        dlg_->OnCommand(ID_CURRENT_MESSAGES);
        dlg_->OnCommand(ID_JOURNAL); // shows the journal, then the box above it
        dlg_->OnCommand(ID_CLEAR_ALL);
        dlg_->OnTimer();
        return journalHidden ? 3 : 2;
    }

    // The user chooses Exit while the next box is open: the program's quit ends the box, and
    // then, back from its handler, the program leaves as CReminderApp::Run has it leave.
    void ExitWhileTheNextBoxIsOpen() {
        boxes_.HoldNextOpen([this] { dlg_->OnCommand(ID_EXIT); },
                            MessageBoxRecorder::HeldEnd::WaitForQuit);
    }
    void ExpectTheBoxEndedAndTheProgramLeaves() {
        ASSERT_FALSE(boxes_.Calls().empty());
        EXPECT_TRUE(boxes_.Calls()[0].endedByQuit);
        EXPECT_TRUE(quits_.Posted());
        EXPECT_FALSE(NestedLoop::AnyOpen());
        EXPECT_TRUE(dlg_->PrepareToLeave());
        EXPECT_FALSE(IsWindow(dlg_->Editor()));
        EXPECT_FALSE(dlg_->TrayIcon().InTray() || dlg_->TrayIcon().FallbackShown());
        EXPECT_FALSE(dlg_->isVisible());
    }

    // What must hold inside the box: the program still runs, the same child is still there.
    void ExpectUntouched(ChildKind kind, const QWidget* child) {
        EXPECT_FALSE(quits_.Posted());
        EXPECT_EQ(dlg_->GetChildKind(), kind);
        EXPECT_TRUE(dlg_->TrayIcon().InTray() || dlg_->TrayIcon().FallbackShown());
        if (kind == CHILD_EDITOR) {
            EXPECT_EQ(dlg_->Editor(), child);
            EXPECT_TRUE(IsWindow(dlg_->Editor()));
        } else {
            EXPECT_EQ(dlg_->Notify(), child);
            EXPECT_TRUE(IsWindow(dlg_->Notify()));
        }
    }

    CEditorDlg* OpenEditorWith(const char* added) {
        dlg_->OnCommand(ID_EDITOR);
        CEditorDlg* editor = dlg_->Editor();
        EXPECT_TRUE(IsWindow(editor));
        if (editor != nullptr && added != nullptr) {
            editor->OnCommand(ID_PANE_ADD);
            editor->OnRecord(Rec(MODE_YEARLY, At(2000, 6, 1), added));
        }
        return editor;
    }

    static Texts Stored() {
        std::vector<ReminderRecord> records;
        ReadStore(kStorePath, IfMissing::LeaveAlone, records);
        Texts texts = test::Texts(records);
        std::sort(texts.begin(), texts.end());
        return texts;
    }

    std::unique_ptr<CManagerDlg> dlg_;
};

TEST_F(OpenBoxTest, TheEditorIsAlreadyOpenBoxKeepsTheEditor) {
    PutStore({Rec(MODE_YEARLY, At(1990, 1, 1), "Old")});
    CEditorDlg* editor = OpenEditorWith("New");
    int commands = 0;
    boxes_.HoldNextOpen([&] {
        commands = EveryCommand();
        ExpectUntouched(CHILD_EDITOR, editor);
    });
    dlg_->OnCommand(ID_EDITOR);
    ASSERT_EQ(boxes_.Calls().size(), 1u);
    EXPECT_EQ(boxes_.Calls()[0].owner, editor);
    EXPECT_EQ(boxes_.Calls()[0].raised, commands);
    ExpectUntouched(CHILD_EDITOR, editor);
    EXPECT_EQ(Stored(), Texts{"Old"}); // nothing was closed behind the user's back

    // Answered, the same command works again, and the editor saves as it closes.
    dlg_->OnCommand(ID_CURRENT_MESSAGES);
    EXPECT_EQ(dlg_->Editor(), nullptr);
    EXPECT_EQ(Stored(), (Texts{"New", "Old"}));
}

TEST_F(OpenBoxTest, TheCurrentMessagesAreOpenBoxKeepsThatWindow) {
    PutStore({Rec(MODE_YEARLY, At(1990, 12, 8), "Anniversary")});
    dlg_.reset();
    SetUp(); // starts with the current messages open
    CNotifyDlg* notify = dlg_->Notify();
    ASSERT_TRUE(IsWindow(notify));
    int commands = 0;
    boxes_.HoldNextOpen([&] {
        commands = EveryCommand();
        ExpectUntouched(CHILD_NOTIFY, notify);
    });
    dlg_->OnCommand(ID_CURRENT_MESSAGES);
    ASSERT_EQ(boxes_.Calls().size(), 1u);
    EXPECT_EQ(boxes_.Calls()[0].owner, notify);
    EXPECT_EQ(boxes_.Calls()[0].raised, commands);

    dlg_->OnCommand(ID_EDITOR);
    EXPECT_EQ(dlg_->GetChildKind(), CHILD_EDITOR);
    EXPECT_EQ(dlg_->Notify(), nullptr);
}

TEST_F(OpenBoxTest, TheDeleteQuestionWaitsForItsAnswerAndExitThenSavesIt) {
    PutStore(
        {Rec(MODE_YEARLY, At(1990, 1, 1), "First"), Rec(MODE_YEARLY, At(1991, 1, 1), "Second")});
    CEditorDlg* editor = OpenEditorWith(nullptr);
    editor->List()->SelectRow(0);
    const QString doomed = editor->List()->GetItemText(0, 1);
    boxes_.HoldNextOpen([&] {
        EveryCommand();
        ExpectUntouched(CHILD_EDITOR, editor);
        EXPECT_EQ(editor->List()->GetItemCount(), 2); // not deleted before the answer
    });
    editor->OnCommand(ID_PANE_DELETE);
    ASSERT_EQ(boxes_.Calls().size(), 1u);
    EXPECT_EQ(boxes_.Calls()[0].type, MB_OKCANCEL);
    EXPECT_EQ(boxes_.Calls()[0].raised, 3);
    ASSERT_EQ(editor->List()->GetItemCount(), 1); // the user's OK, given afterwards
    EXPECT_NE(editor->List()->GetItemText(0, 1), doomed);

    dlg_->OnCommand(ID_EXIT);
    EXPECT_TRUE(quits_.Posted());
    EXPECT_EQ(Stored().size(), 1u);
}

TEST_F(OpenBoxTest, TheDeleteQuestionAnsweredCancelKeepsTheRow) {
    PutStore({Rec(MODE_YEARLY, At(1990, 1, 1), "First")});
    CEditorDlg* editor = OpenEditorWith("Added");
    editor->List()->SelectRow(0);
    boxes_.SetAnswer(IDCANCEL);
    boxes_.HoldNextOpen([&] { EveryCommand(); });
    editor->OnCommand(ID_PANE_DELETE);
    EXPECT_EQ(editor->List()->GetItemCount(), 2);
    dlg_->OnCommand(ID_EXIT);
    EXPECT_EQ(Stored(), (Texts{"Added", "First"}));
}

// Saves fail while a folder stands where the store goes.
TEST_F(OpenBoxTest, TheFailedSaveAndDiscardBoxesKeepTheEditorTheyAskFor) {
    CEditorDlg* editor = OpenEditorWith("Precious");
    fs::permissions(kStorePath, fs::perms::owner_read); // every save fails
    int held = 0;
    std::vector<int> commands;
    boxes_.SetAnswerer([&](const MessageBoxCall&) {
        // The failure box was held; now the discard question is held too.
        if (held++ == 0) {
            boxes_.HoldNextOpen([&] {
                commands.push_back(EveryCommand());
                ExpectUntouched(CHILD_EDITOR, editor);
            });
        }
        return IDCANCEL;
    });
    boxes_.HoldNextOpen([&] {
        commands.push_back(EveryCommand());
        ExpectUntouched(CHILD_EDITOR, editor);
    });
    editor->close(); // the title bar's close
    ASSERT_EQ(boxes_.Calls().size(), 2u);
    EXPECT_TRUE(ShowsEditorText(boxes_.Calls()[0], kEditorSaveFailedHint));
    EXPECT_TRUE(ShowsEditorText(boxes_.Calls()[1], kEditorDiscardQuestion));
    ASSERT_EQ(commands.size(), 2u);
    EXPECT_EQ(boxes_.Calls()[0].raised, commands[0]);
    EXPECT_EQ(boxes_.Calls()[1].raised, commands[1]);
    // Both answered Cancel: the editor stays, with the record.
    ExpectUntouched(CHILD_EDITOR, editor);

    fs::permissions(kStorePath, fs::perms::owner_read | fs::perms::owner_write);
    boxes_.SetAnswer(IDOK);
    dlg_->OnCommand(ID_EXIT);
    EXPECT_TRUE(quits_.Posted());
    EXPECT_EQ(Stored(), Texts{"Precious"});
}

TEST_F(OpenBoxTest, ThePartialStoreQuestionKeepsTheEditor) {
    fs::remove(kStorePath);
    fs::create_directory(kStorePath); // cannot be read whole
    CEditorDlg* editor = OpenEditorWith("Added");
    boxes_.SetAnswer(IDCANCEL);
    boxes_.HoldNextOpen([&] {
        EveryCommand();
        ExpectUntouched(CHILD_EDITOR, editor);
    });
    EXPECT_FALSE(editor->CloseAndSave());
    ASSERT_GE(boxes_.Calls().size(), 1u);
    EXPECT_TRUE(ShowsEditorText(boxes_.Calls()[0], kEditorPartialStore));
    EXPECT_EQ(boxes_.Calls()[0].raised, 3);
    EXPECT_TRUE(fs::is_directory(kStorePath));
    ExpectUntouched(CHILD_EDITOR, editor);
}

TEST_F(OpenBoxTest, TheHelpBoxKeepsTheEditor) {
    CEditorDlg* editor = OpenEditorWith(nullptr);
    boxes_.HoldNextOpen([&] {
        EveryCommand();
        ExpectUntouched(CHILD_EDITOR, editor);
    });
    editor->OnCommand(ID_PANE_HELP); // no help file here
    ASSERT_EQ(boxes_.Calls().size(), 1u);
    EXPECT_EQ(boxes_.Calls()[0].owner, editor);
    EXPECT_EQ(boxes_.Calls()[0].raised, 3);
}

TEST_F(OpenBoxTest, TheSettingsFailureBoxKeepsItsPageUntilItReturns) {
    fs::create_directory(kSettingsPath); // the settings cannot be written
    CEditorDlg* editor = OpenEditorWith(nullptr);
    editor->OnCommand(ID_PANE_SETTINGS);
    QPointer<Dialog> page = editor->HeldPage();
    ASSERT_NE(qobject_cast<CSettingsPage*>(page), nullptr);
    boxes_.HoldNextOpen([&] {
        EveryCommand();
        ExpectUntouched(CHILD_EDITOR, editor);
        // Another page asked for meanwhile replaces it on screen, but the page whose handler
        // waits in the box lives on.
        editor->OnCommand(ID_PANE_ABOUT);
        EXPECT_FALSE(page.isNull());
        EXPECT_NE(editor->HeldPage(), page.data());
    });
    page->GetDlgItemAs<QAbstractButton>(IDOK)->click();
    ASSERT_EQ(boxes_.Calls().size(), 1u);
    EXPECT_NE(boxes_.Calls()[0].text.indexOf("tovrin.ini"), -1);
    EXPECT_EQ(boxes_.Calls()[0].raised, 3);
    EXPECT_FALSE(page.isNull()); // its handler is only now returning
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(page.isNull());
    EXPECT_TRUE(IsWindow(editor));
}

// What the screen holds behind the box, not a fresh rendering: the list, whole, where the page was.
TEST_F(OpenBoxTest, TheSettingsFailureBoxStandsOverTheListDrawnWhole) {
    fs::create_directory(kSettingsPath);
    CEditorDlg* editor = OpenEditorWith("A row");
    editor->OnCommand(ID_PANE_SETTINGS);
    Dialog* page = editor->HeldPage();
    QWidget* window = editor->window();
    QCoreApplication::processEvents();
    QImage shown;
    boxes_.HoldNextOpen([&] { shown = window->screen()->grabWindow(window->winId()).toImage(); });
    page->GetDlgItemAs<QAbstractButton>(IDOK)->click();
    ASSERT_EQ(boxes_.Calls().size(), 1u);
    ASSERT_FALSE(shown.isNull());
    const QRect area(editor->List()->mapTo(window, QPoint()), editor->List()->size());
    const QImage whole = window->grab().toImage().copy(area);
    EXPECT_EQ(shown.copy(area).convertToFormat(whole.format()), whole);
}

TEST_F(OpenBoxTest, ABoxOfNoWindowHoldsTheCommandsBackToo) {
    // The tray menu's texts come from a language file without them.
    test::WriteText(kLangPath, "[Menu]\r\n1=J\r\n");
    QMenu menu;
    for (int i = 0; i < 6; ++i) {
        menu.addAction(QStringLiteral("item"));
    }
    boxes_.HoldNextOpen([&] {
        EveryCommand();
        EXPECT_FALSE(quits_.Posted());
        EXPECT_EQ(dlg_->GetChildKind(), CHILD_NONE);
    });
    dlg_->OnTrayMenu(menu);
    ASSERT_FALSE(boxes_.Calls().empty());
    EXPECT_EQ(boxes_.Calls()[0].text, "Error");
    EXPECT_EQ(boxes_.Calls()[0].raised, 3);
}

TEST_F(OpenBoxTest, ExitWithTheEditorIsAlreadyOpenBoxEndsItAndSaves) {
    PutStore({Rec(MODE_YEARLY, At(1990, 1, 1), "Old")});
    OpenEditorWith("New");
    ExitWhileTheNextBoxIsOpen();
    dlg_->OnCommand(ID_EDITOR);
    EXPECT_EQ(boxes_.Calls()[0].type, MB_OK);
    ExpectTheBoxEndedAndTheProgramLeaves();
    EXPECT_EQ(Stored(), (Texts{"New", "Old"}));
}

TEST_F(OpenBoxTest, ExitWithTheCurrentMessagesAreOpenBoxEndsIt) {
    PutStore({Rec(MODE_YEARLY, At(1990, 12, 8), "Anniversary")});
    dlg_.reset();
    SetUp();
    ASSERT_TRUE(IsWindow(dlg_->Notify()));
    ExitWhileTheNextBoxIsOpen();
    dlg_->OnCommand(ID_CURRENT_MESSAGES);
    EXPECT_EQ(boxes_.Calls()[0].owner, dlg_->Notify());
    ExpectTheBoxEndedAndTheProgramLeaves();
}

TEST_F(OpenBoxTest, ExitWithTheDeleteQuestionOpenAnswersCancelAndSaves) {
    PutStore({Rec(MODE_YEARLY, At(1990, 1, 1), "First")});
    CEditorDlg* editor = OpenEditorWith("Added");
    editor->OnPageClosed();
    editor->List()->SelectRow(0);
    ExitWhileTheNextBoxIsOpen();
    editor->OnCommand(ID_PANE_DELETE);
    EXPECT_EQ(editor->List()->GetItemCount(), 2); // nobody said OK
    ExpectTheBoxEndedAndTheProgramLeaves();
    EXPECT_EQ(Stored(), (Texts{"Added", "First"}));
}

TEST_F(OpenBoxTest, ExitWithTheFailedSaveBoxOpenKeepsTheChangesForTheLeavingSave) {
    CEditorDlg* editor = OpenEditorWith("Precious");
    fs::permissions(kStorePath, fs::perms::owner_read); // every save fails
    boxes_.HoldNextOpen(
        [this] {
            dlg_->OnCommand(ID_EXIT);
            // The discard question that follows the failure's Cancel ends at once too, as
            // every box does while the program quits: nothing is thrown away unasked.
            boxes_.HoldNextOpen([] {}, MessageBoxRecorder::HeldEnd::WaitForQuit);
        },
        MessageBoxRecorder::HeldEnd::WaitForQuit);
    editor->close();
    ASSERT_EQ(boxes_.Calls().size(), 2u);
    EXPECT_TRUE(boxes_.Calls()[1].endedByQuit);
    EXPECT_TRUE(IsWindow(editor)); // kept, changes and all
    // The cause mended: the save on the way out goes through.
    fs::permissions(kStorePath, fs::perms::owner_read | fs::perms::owner_write);
    ExpectTheBoxEndedAndTheProgramLeaves();
    EXPECT_EQ(Stored(), Texts{"Precious"});
}

TEST_F(OpenBoxTest, ExitWithTheHelpBoxOpenEndsIt) {
    OpenEditorWith("Added");
    ExitWhileTheNextBoxIsOpen();
    dlg_->Editor()->OnCommand(ID_PANE_HELP); // no help file here
    ExpectTheBoxEndedAndTheProgramLeaves();
    EXPECT_EQ(Stored(), Texts{"Added"});
}

TEST_F(OpenBoxTest, ExitWithTheSettingsFailureBoxOpenEndsIt) {
    fs::create_directory(kSettingsPath);
    CEditorDlg* editor = OpenEditorWith(nullptr);
    editor->OnCommand(ID_PANE_SETTINGS);
    ExitWhileTheNextBoxIsOpen();
    editor->HeldPage()->GetDlgItemAs<QAbstractButton>(IDOK)->click();
    ExpectTheBoxEndedAndTheProgramLeaves();
}

TEST_F(OpenBoxTest, ExitWithABoxOfNoWindowOpenEndsIt) {
    test::WriteText(kLangPath, "[Menu]\r\n1=J\r\n");
    QMenu menu;
    for (int i = 0; i < 6; ++i) {
        menu.addAction(QStringLiteral("item"));
    }
    ExitWhileTheNextBoxIsOpen();
    dlg_->OnTrayMenu(menu);
    EXPECT_EQ(boxes_.Calls()[0].owner, nullptr);
    ExpectTheBoxEndedAndTheProgramLeaves();
}

} // namespace
} // namespace tovrin
