// A language file that lacks a text no window shows must not end the program: each text is
// looked up when it is first shown, and only a text that is shown and missing brings the "Error"
// box, once.
#include "platform/list_view.h"
#include "res/resource.h"
#include "ui/editor_dlg.h"
#include "ui/manager_dlg.h"
#include "ui/notify_dlg.h"
#include "window_fixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPointer>

#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <string>

namespace tovrin {
namespace {

using test::At;
using test::PutStore;
using test::Rec;

class MissingTextTest : public test::WindowTest {
protected:
    // The shipped file with one key line of one section taken out, every other byte kept.
    static void DropKey(const std::string& section, long key) {
        std::ifstream in(kLangPath, std::ios::binary);
        const std::string text((std::istreambuf_iterator<char>(in)), {});
        in.close();
        std::string kept;
        std::string current;
        bool dropped = false;
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find('\n', start);
            end = end == std::string::npos ? text.size() : end + 1;
            const std::string line = text.substr(start, end - start);
            if (line.starts_with("[")) {
                current = line.substr(1, line.find(']') - 1);
            }
            if (current == section && line.starts_with(std::to_string(key) + "=")) {
                dropped = true;
            } else {
                kept += line;
            }
            start = end;
        }
        ASSERT_TRUE(dropped) << section << " " << key;
        std::ofstream(kLangPath, std::ios::binary | std::ios::trunc) << kept;
    }

    int ErrorBoxes() const {
        int count = 0;
        for (const MessageBoxCall& call : boxes_.Calls()) {
            count += call.text == QStringLiteral("Error") ? 1 : 0;
        }
        return count;
    }

    std::unique_ptr<CEditorDlg> OpenEditor() {
        auto editor = std::make_unique<CEditorDlg>(nullptr, nullptr);
        EXPECT_TRUE(editor->Create());
        editor->show();
        // Painting asks for every visible row's text.
        editor->grab();
        QApplication::processEvents();
        return editor;
    }
};

TEST_F(MissingTextTest, EditorRunsWithoutAWeekdayItNeverShows) {
    DropKey("Editor", 15); // Sunday
    PutStore(
        {Rec(MODE_YEARLY, At(2027, 3, 1), "Spring"), Rec(MODE_ONCE, At(2027, 3, 6, 9, 0), "x")});
    auto editor = OpenEditor();
    EXPECT_EQ(editor->List()->GetItemCount(), 2);
    EXPECT_EQ(editor->List()->GetItemText(0, 0), QStringLiteral("01 марта"));
    EXPECT_TRUE(boxes_.Calls().empty());
    EXPECT_FALSE(quits_.Posted());
    EXPECT_TRUE(editor->CloseAndSave());
}

TEST_F(MissingTextTest, JanuaryMayBeMissingWhileOnlyDecemberIsShown) {
    DropKey("Editor", 22);
    notifyDays = 3;
    PutStore(
        {Rec(MODE_YEARLY, At(2026, 12, 9), "Tomorrow"), Rec(MODE_NONE, At(2026, 12, 31), "Eve")});
    {
        auto editor = OpenEditor();
        EXPECT_EQ(editor->List()->GetItemText(1, 0), QStringLiteral("31 декабря"));
        EXPECT_TRUE(editor->CloseAndSave());
    }
    CNotifyDlg notify(nullptr);
    ASSERT_TRUE(notify.Create(nullptr));
    EXPECT_EQ(notify.DueCount(), 1);
    EXPECT_TRUE(boxes_.Calls().empty());
    EXPECT_FALSE(quits_.Posted());
}

TEST_F(MissingTextTest, AMissingMonthThatIsShownIsReportedOnceForTheWholeList) {
    DropKey("Editor", 22);
    PutStore({Rec(MODE_YEARLY, At(2027, 1, 1), "a"), Rec(MODE_YEARLY, At(2027, 1, 2), "b"),
              Rec(MODE_YEARLY, At(2027, 1, 3), "c")});
    auto editor = OpenEditor();
    EXPECT_EQ(editor->List()->GetItemText(0, 0), QStringLiteral("01 "));
    EXPECT_EQ(ErrorBoxes(), 1);
    EXPECT_EQ(quits_.Count(), 1);

    // A record added for a month the list did not show yet asks for its name then, once.
    boxes_.Clear();
    ReminderRecord added = Rec(MODE_YEARLY, At(2027, 1, 20), "d");
    editor->OnRecord(added);
    editor->grab();
    EXPECT_EQ(ErrorBoxes(), 0);
}

TEST_F(MissingTextTest, LaterDaysPrefixMayBeMissingWhenOnlyTodayIsDue) {
    DropKey("Notify", 5);
    PutStore({Rec(MODE_YEARLY, At(1990, 12, 8), "Birthday")});
    {
        CNotifyDlg notify(nullptr);
        ASSERT_TRUE(notify.Create(nullptr));
        EXPECT_EQ(notify.DueCount(), 1);
        EXPECT_TRUE(boxes_.Calls().empty());
        EXPECT_FALSE(quits_.Posted());
    }
    // Two later days need the prefix: the box comes once.
    notifyDays = 5;
    PutStore({Rec(MODE_YEARLY, At(1990, 12, 11), "a"), Rec(MODE_YEARLY, At(1990, 12, 12), "b")});
    CNotifyDlg notify(nullptr);
    ASSERT_TRUE(notify.Create(nullptr));
    EXPECT_EQ(notify.DueCount(), 2);
    EXPECT_EQ(ErrorBoxes(), 1);
    EXPECT_EQ(quits_.Count(), 1);
}

TEST_F(MissingTextTest, TheProgramStartsAndOpensItsWindowsWithoutAnUnusedText) {
    DropKey("Notify", 5);
    DropKey("Editor", 21); // Saturday
    PutStore({Rec(MODE_YEARLY, At(1990, 12, 8), "Birthday")});
    CManagerDlg manager;
    ASSERT_TRUE(manager.Create());
    ASSERT_NE(manager.Notify(), nullptr);
    EXPECT_TRUE(manager.Notify()->isVisible());
    manager.OnCommand(ID_EDITOR);
    ASSERT_NE(manager.Editor(), nullptr);
    manager.Editor()->grab();
    manager.OnCommand(ID_CURRENT_MESSAGES);
    EXPECT_TRUE(boxes_.Calls().empty());
    EXPECT_FALSE(quits_.Posted());
}

// The "Error" box is owned by whichever window is active, not by the page whose handler waits in
// it: neither that page nor the editor may go before it returns.
TEST_F(MissingTextTest, AMissingMonthsBoxKeepsThePageAndTheEditorWaitingInIt) {
    DropKey("Editor", 33); // December, the month a new record takes
    auto editor = OpenEditor();
    editor->OnCommand(ID_PANE_ADD);
    QPointer<Dialog> page = editor->HeldPage();
    ASSERT_NE(page, nullptr);
    bool held = false;
    boxes_.HoldNextOpen([&] {
        held = true;
        editor->OnCommand(ID_PANE_ADD); // the waiting page is replaced on screen only
        EXPECT_FALSE(page.isNull());
        editor->close();
        EXPECT_TRUE(editor->IsWindow());
    });
    page->GetDlgItemAs<QAbstractButton>(IDOK)->click();
    EXPECT_TRUE(held);
    EXPECT_EQ(ErrorBoxes(), 1);
    EXPECT_EQ(editor->List()->GetItemCount(), 1);
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(page.isNull());
    EXPECT_TRUE(editor->CloseAndSave());
}

} // namespace
} // namespace tovrin
