#include "app/reminder_app.h"
#include "core/schedule/clock.h"
#include "core/schedule/store_fixture.h"
#include "core/store/settings.h"
#include "core/store/store_file.h"
#include "os/single_instance.h"
#include "platform/message_box.h"
#include "res/resource.h"
#include "support/console_event.h"
#include "support/temp_base.h"
#include "ui/editor_dlg.h"
#include "ui/manager_dlg.h"

#include <QCoreApplication>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#endif

namespace fs = std::filesystem;

namespace tovrin {
namespace {

using test::At;
using test::Rec;

// A program key the marker cannot be made for: it names a folder (on Windows, a folder of the
// session's namespace) that does not exist.
#ifdef _WIN32
const std::string kNoSuchFolder = "no-such-folder\\";
#else
const std::string kNoSuchFolder = "no-such-folder/";
#endif

// A request to end from outside, as the system delivers it: the signal on POSIX; on Windows
// Ctrl+C on the test's console, which the system hands to a thread of its own.
enum class EndRequest { Term, Interrupt, HangUp };
void RequestEnd(EndRequest request) {
#ifdef _WIN32
    (void)request;
    EXPECT_TRUE(test::PressCtrlCOnOwnConsole());
#else
    std::raise(request == EndRequest::Term        ? SIGTERM
               : request == EndRequest::Interrupt ? SIGINT
                                                  : SIGHUP);
#endif
}

// The program in a folder of its own, standing for a program file of its own for the
// single-instance marker. Quit requests are real here: the tests run the event loop until the
// program ends.
class ReminderAppTest : public ::testing::Test {
protected:
    ReminderAppTest() {
        fs::copy_file(test::SourceDir() / "res/Base/default.lng", base_.Base() / "default.lng");
        SetProgramKeyForTests(ProgramKey(base_.Dir().string()));
    }
    ~ReminderAppTest() override { SetProgramKeyForTests({}); }

    static std::vector<std::string> Stored() {
        std::vector<ReminderRecord> records;
        ReadStore(kStorePath, IfMissing::LeaveAlone, records);
        return test::Texts(records);
    }

    static void AddInEditor(CReminderApp& app, const char* text) {
        app.MainWnd()->OnCommand(ID_EDITOR);
        CEditorDlg* editor = app.MainWnd()->Editor();
        ASSERT_TRUE(IsWindow(editor));
        editor->OnCommand(ID_PANE_ADD);
        editor->OnRecord(Rec(MODE_NONE, At(2026, 12, 20, 9, 0), text));
    }

    test::TempBase base_;
    MessageBoxRecorder boxes_;
    FakeClock clock_{At(2026, 12, 8, 10, 0)};
    ScopedClock scopedClock_{clock_};
};

TEST_F(ReminderAppTest, SecondCopyWarnsAndTouchesNothing) {
    const SingleInstance running = SingleInstance::Join();
    ASSERT_EQ(running.GetState(), SingleInstance::State::First);
    CReminderApp app;
    EXPECT_FALSE(app.InitInstance());
    EXPECT_EQ(app.MainWnd(), nullptr);
    ASSERT_EQ(boxes_.Calls().size(), 1u);
    const MessageBoxCall& box = boxes_.Calls()[0];
    EXPECT_EQ(box.owner, nullptr);
    EXPECT_EQ(box.text, "Tovrin уже запущен. Его значок находится в области уведомлений.");
    EXPECT_EQ(box.caption, "Tovrin");
    EXPECT_EQ(box.type, MB_OK | MB_ICONWARNING);
    EXPECT_FALSE(fs::exists(kSettingsPath));
    EXPECT_FALSE(fs::exists(kStorePath));
}

TEST_F(ReminderAppTest, SecondCopyWithoutItsTextsStillWarns) {
    fs::remove(kLangPath);
    const SingleInstance running = SingleInstance::Join();
    QuitRecorder quits;
    CReminderApp app;
    EXPECT_FALSE(app.InitInstance());
    ASSERT_EQ(boxes_.Calls().size(), 4u);
    EXPECT_EQ(boxes_.Calls()[0].text, "Couldn't load LANGUAGE RESOURCE");
    EXPECT_EQ(boxes_.Calls()[1].text, "Error");
    EXPECT_EQ(boxes_.Calls()[2].text, "Error");
    EXPECT_EQ(boxes_.Calls()[3].type, MB_OK | MB_ICONWARNING);
    EXPECT_TRUE(boxes_.Calls()[3].text.isEmpty());
}

TEST_F(ReminderAppTest, FirstCopyReadsTheSettingsAndWaitsHiddenInTheTray) {
    CReminderApp app;
    EXPECT_EQ(notifyDays, 0u);
    ASSERT_TRUE(app.InitInstance());
    EXPECT_EQ(notifyDays, 1u);
    EXPECT_EQ(confirmDelete, 1);
    EXPECT_TRUE(fs::exists(kSettingsPath));
    EXPECT_EQ(fs::file_size(kSettingsPath), 0u);
    ASSERT_NE(app.MainWnd(), nullptr);
    EXPECT_FALSE(app.MainWnd()->isVisible());
    EXPECT_TRUE(app.MainWnd()->TrayIcon().InTray() || app.MainWnd()->TrayIcon().FallbackShown());
    EXPECT_TRUE(boxes_.Calls().empty());
    // While it runs, the next copy is refused.
    EXPECT_TRUE(SingleInstance::Join().AnotherRunning());
}

#ifndef _WIN32 // a reaped child gives a pid that names no process
TEST_F(ReminderAppTest, AStartClearsWhatSavesKilledBeforeTheirRenameLeft) {
    // A pid that surely names no process: a child that has ended and been reaped.
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(0);
    }
    ASSERT_EQ(::waitpid(child, nullptr, 0), child);
    const std::string pid = std::to_string(child);
    const fs::path store = base_.Base() / (".ztovrin.dat." + pid + "-0.tmp");
    const fs::path settings = base_.Base() / (".tovrin.ini." + pid + "-3.tmp");
    const fs::path live = base_.Base() / ".ztovrin.dat.1-0.tmp"; // init outlives every test
    for (const fs::path& file : {store, settings, live}) {
        test::WriteText(file, "half a save");
    }
    {
        // A refused copy touches no file, these neither.
        const SingleInstance running = SingleInstance::Join();
        CReminderApp refused;
        EXPECT_FALSE(refused.InitInstance());
        EXPECT_TRUE(fs::exists(store));
    }
    CReminderApp app;
    ASSERT_TRUE(app.InitInstance());
    EXPECT_FALSE(fs::exists(store));
    EXPECT_FALSE(fs::exists(settings));
    EXPECT_TRUE(fs::exists(live));
}

#endif

TEST_F(ReminderAppTest, AMarkerThatCannotBeMadeIsToldInABoxAndTheProgramRuns) {
    SetProgramKeyForTests(kNoSuchFolder + ProgramKey(base_.Dir().string()));
    CReminderApp app;
    ASSERT_TRUE(app.InitInstance());
    ASSERT_EQ(boxes_.Calls().size(), 1u);
    EXPECT_TRUE(boxes_.Calls()[0].text.startsWith(
        QString::fromUtf8("Tovrin не может определить, не запущена ли уже другая его копия (")))
        << boxes_.Calls()[0].text.toStdString();
    EXPECT_TRUE(boxes_.Calls()[0].text.contains("no-such-folder"));
    EXPECT_NE(app.MainWnd(), nullptr);
}

// A language file from before these texts existed: the built-in English, and no "Error" box.
TEST_F(ReminderAppTest, StartUpsOwnProblemsFallBackToBuiltInTextsWithoutABox) {
    const std::vector<std::uint8_t> bytes =
        test::ReadBytes(test::SourceDir() / "res/Base/english.lng");
    std::string text(bytes.begin(), bytes.end());
    for (const char* line : {"2=Tovrin cannot", "3=The editor's"}) {
        const std::size_t at = text.find(line);
        ASSERT_NE(at, std::string::npos) << line;
        text.erase(at, text.find("\r\n", at) + 2 - at);
    }
    test::WriteText(kLangPath, text);
    SetProgramKeyForTests(kNoSuchFolder + ProgramKey(base_.Dir().string()));
    CReminderApp app;
    ASSERT_TRUE(app.InitInstance());
    ASSERT_EQ(boxes_.Calls().size(), 1u);
    EXPECT_TRUE(boxes_.Calls()[0].text.startsWith("Tovrin cannot tell whether another copy"))
        << boxes_.Calls()[0].text.toStdString();
    EXPECT_TRUE(app.LogoutCancelledText("Why.").startsWith("Why.\n\nThe editor's changes"));
}

TEST_F(ReminderAppTest, TerminationSignalSavesTheOpenEditorBeforeTheEnd) {
    CReminderApp app;
    ASSERT_TRUE(app.InitInstance());
    AddInEditor(app, "Saved on the way out");
    QTimer::singleShot(0, [] { RequestEnd(EndRequest::Term); });
    EXPECT_EQ(app.Run(), 0);
    EXPECT_EQ(Stored(), std::vector<std::string>{"Saved on the way out"});
    EXPECT_FALSE(app.MainWnd()->TrayIcon().InTray());
    EXPECT_FALSE(app.MainWnd()->TrayIcon().FallbackShown());
}

TEST_F(ReminderAppTest, AnEditorTheUserKeepsOpenKeepsTheProgramRunning) {
    // Saves fail while the store is read-only (the editor made it empty when it opened).
    CReminderApp app;
    ASSERT_TRUE(app.InitInstance());
    AddInEditor(app, "Kept");
    fs::permissions(kStorePath, fs::perms::owner_read);
    int questions = 0;
    boxes_.SetAnswerer([&questions](const MessageBoxCall&) {
        if (++questions == 2) {
            // Declining to discard: the program runs on; later the user makes room and quits.
            QTimer::singleShot(20, [] {
                fs::permissions(kStorePath, fs::perms::owner_read | fs::perms::owner_write);
                RequestEnd(EndRequest::Interrupt);
            });
        }
        return IDCANCEL;
    });
    QTimer::singleShot(0, [] { RequestEnd(EndRequest::HangUp); });
    EXPECT_EQ(app.Run(), 0);
    EXPECT_EQ(questions, 2);
    EXPECT_EQ(Stored(), std::vector<std::string>{"Kept"});
}

// Before a logout the session asks for unsaved work; the user may still cancel the logout, so the
// program saves the editor and runs on, with the editor open.
TEST_F(ReminderAppTest, TheSessionsRequestSavesTheEditorAndTheProgramRunsOn) {
    CReminderApp app;
    ASSERT_TRUE(app.InitInstance());
    AddInEditor(app, "Saved for the session");
    QString problem;
    EXPECT_TRUE(app.CommitData(problem)) << problem.toStdString();
    EXPECT_EQ(Stored(), std::vector<std::string>{"Saved for the session"});
    CEditorDlg* editor = app.MainWnd()->Editor();
    ASSERT_TRUE(IsWindow(editor));
    EXPECT_FALSE(editor->State().modified);
    EXPECT_TRUE(app.MainWnd()->TrayIcon().InTray() || app.MainWnd()->TrayIcon().FallbackShown());

    // The logout was cancelled: the program still runs and the editor still works.
    editor->OnCommand(ID_PANE_ADD);
    editor->OnRecord(Rec(MODE_NONE, At(2026, 12, 21, 9, 0), "After the cancelled logout"));
    bool quitSoFar = false;
    QTimer::singleShot(0, [&quitSoFar] { quitSoFar = true; });
    QTimer::singleShot(50, [] { RequestEnd(EndRequest::Term); });
    EXPECT_EQ(app.Run(), 0);
    EXPECT_TRUE(quitSoFar);
    EXPECT_EQ(Stored(),
              (std::vector<std::string>{"Saved for the session", "After the cancelled logout"}));
    EXPECT_TRUE(boxes_.Calls().empty());
}

TEST_F(ReminderAppTest, AnEditorThatCannotSaveForTheSessionSaysWhy) {
    CReminderApp app;
    ASSERT_TRUE(app.InitInstance());
    QString problem;
    EXPECT_TRUE(app.CommitData(problem)); // no editor, nothing to save
    AddInEditor(app, "Kept in memory");
    fs::permissions(kStorePath, fs::perms::owner_read);
    EXPECT_FALSE(app.CommitData(problem));
    EXPECT_NE(problem.indexOf("Base/ztovrin.dat"), -1) << problem.toStdString();
    // What the session's box says, all in the language file's words.
    const QString told = app.LogoutCancelledText(problem);
    EXPECT_TRUE(told.startsWith(QString::fromUtf8("Не удалось "))) << told.toStdString();
    EXPECT_NE(told.indexOf(QString::fromUtf8("\n\nИзменения в редакторе не удалось сохранить")), -1)
        << told.toStdString();
    EXPECT_TRUE(app.MainWnd()->Editor()->State().modified);
    EXPECT_TRUE(boxes_.Calls().empty());
    // So the end can save what is still in memory.
    fs::permissions(kStorePath, fs::perms::owner_read | fs::perms::owner_write);
}

// The tray's Exit and a termination signal alike, while the delete question waits: the question
// ends as Cancel, the editor saves on the way out, the icon goes and the program ends.
TEST_F(ReminderAppTest, ExitOrATerminationWhileTheDeleteQuestionIsOpenEndsItAsCancelAndSaves) {
    for (const bool signal : {false, true}) {
        fs::remove(kStorePath);
        test::PutStore({Rec(MODE_YEARLY, At(1990, 1, 1), "Kept row")});
        boxes_.Clear();
        CReminderApp app;
        ASSERT_TRUE(app.InitInstance());
        AddInEditor(app, "Not yet saved");
        CEditorDlg* editor = app.MainWnd()->Editor();
        editor->OnPageClosed();
        QTimer::singleShot(0, [&] {
            boxes_.HoldNextOpen(
                [&] {
                    if (signal) {
                        RequestEnd(EndRequest::Term);
                    } else {
                        app.MainWnd()->OnCommand(ID_EXIT);
                    }
                },
                MessageBoxRecorder::HeldEnd::WaitForQuit);
            editor->OnCommand(ID_PANE_DELETE);
        });
        QTimer::singleShot(20000, [] { QCoreApplication::exit(1); }); // no box came: fail
        EXPECT_EQ(app.Run(), 0) << signal;
        ASSERT_EQ(boxes_.Calls().size(), 1u) << signal;
        EXPECT_TRUE(boxes_.Calls()[0].endedByQuit) << signal;
        EXPECT_EQ(boxes_.Calls()[0].raised, 0) << signal; // it ended; nothing waited for it
        // Nobody said OK: both rows stay, and the editor saved them on the way out.
        std::vector<std::string> stored = Stored();
        std::sort(stored.begin(), stored.end());
        EXPECT_EQ(stored, (std::vector<std::string>{"Kept row", "Not yet saved"})) << signal;
        EXPECT_FALSE(app.MainWnd()->TrayIcon().InTray()) << signal;
        EXPECT_FALSE(IsWindow(app.MainWnd()->Editor())) << signal;
    }
}

} // namespace
} // namespace tovrin
