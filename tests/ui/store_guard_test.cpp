// The windows' side of keeping a user's reminders: a store someone else replaced while the editor
// was open is replaced again only when the user says so, a second editor on the same Base/ is
// refused, and a damaged store is told once and never opened for editing.
#include "core/editor/editor_state.h"
#include "core/store/paths.h"
#include "core/store/store_file.h"
#include "res/resource.h"
#include "ui/editor_dlg.h"
#include "ui/manager_dlg.h"
#include "window_fixture.h"

#include <QCoreApplication>
#include <QFileInfo>

#include <filesystem>
#include <memory>

namespace tovrin {
namespace {

namespace fs = std::filesystem;
using test::At;
using test::PutStore;
using test::Rec;
using Texts = std::vector<std::string>;

Texts TextsIn(const char* path) {
    std::vector<ReminderRecord> records;
    ReadStore(path, IfMissing::LeaveAlone, records);
    return test::Texts(records);
}

// What a copy of Tovrin from another program file does while ours edits: saves its own list.
void AnotherCopySaves(const char* text) {
    ASSERT_TRUE(WriteStore(kStorePath, std::vector{Rec(MODE_YEARLY, At(2027, 5, 5), text)}));
}

class StoreGuardTest : public test::WindowTest {
protected:
    StoreGuardTest() {
        PutStore({Rec(MODE_YEARLY, At(2027, 1, 1), "old")});
        dlg_ = std::make_unique<CManagerDlg>();
        EXPECT_TRUE(dlg_->Create());
    }
    ~StoreGuardTest() override { dlg_.reset(); }

    CEditorDlg* EditAndAdd(const char* text) {
        dlg_->OnCommand(ID_EDITOR);
        CEditorDlg* editor = dlg_->Editor();
        EXPECT_TRUE(IsWindow(editor));
        editor->OnCommand(ID_PANE_ADD);
        editor->OnRecord(Rec(MODE_YEARLY, At(2027, 2, 2), text));
        editor->OnPageClosed();
        return editor;
    }

    std::unique_ptr<CManagerDlg> dlg_;
};

TEST_F(StoreGuardTest, AStoreReplacedUnderTheEditorIsReplacedAgainOnlyWhenTheUserSaysSo) {
    CEditorDlg* editor = EditAndAdd("mine");
    AnotherCopySaves("theirs");

    boxes_.SetAnswer(IDCANCEL);
    EXPECT_FALSE(editor->CloseAndSave());
    ASSERT_EQ(boxes_.Calls().size(), 1u);
    EXPECT_EQ(boxes_.Calls()[0].type, MB_OKCANCEL | MB_ICONWARNING);
    EXPECT_TRUE(
        boxes_.Calls()[0].text.startsWith(QString::fromUtf8("Файл Base/ztovrin.dat изменён")))
        << boxes_.Calls()[0].text.toStdString();
    EXPECT_TRUE(IsWindow(editor));
    EXPECT_EQ(TextsIn(kStorePath), Texts{"theirs"});

    boxes_.Clear();
    boxes_.SetAnswer(IDOK);
    EXPECT_TRUE(editor->CloseAndSave());
    EXPECT_EQ(boxes_.Calls().size(), 1u);
    EXPECT_EQ(TextsIn(kStorePath), (Texts{"old", "mine"}));
}

TEST_F(StoreGuardTest, AtTheEndTheirStoreStaysAndTheEditorsListIsKeptBesideIt) {
    EditAndAdd("mine");
    AnotherCopySaves("theirs");
    boxes_.SetAnswer(IDCANCEL); // there is nothing to answer: one box that tells
    dlg_->OnCommand(ID_EXIT);
    EXPECT_TRUE(quits_.Posted());
    ASSERT_EQ(boxes_.Calls().size(), 1u);
    EXPECT_EQ(boxes_.Calls()[0].type, MB_OK | MB_ICONWARNING);
    EXPECT_NE(boxes_.Calls()[0].text.indexOf(kUnsavedStorePath), -1)
        << boxes_.Calls()[0].text.toStdString();
    EXPECT_EQ(TextsIn(kStorePath), Texts{"theirs"});
    EXPECT_EQ(TextsIn(kUnsavedStorePath), (Texts{"old", "mine"}));
}

TEST_F(StoreGuardTest, TheSessionsSaveDoesNotWriteOverAReplacedStore) {
    CEditorDlg* editor = EditAndAdd("mine");
    fs::remove(kStorePath); // a tidy-up, or the user's own hand
    QString problem;
    EXPECT_FALSE(editor->SaveKeepingOpen(problem));
    EXPECT_NE(problem.indexOf("Base/ztovrin.dat"), -1) << problem.toStdString();
    EXPECT_FALSE(fs::exists(kStorePath));
    EXPECT_TRUE(editor->State().modified);
    EXPECT_TRUE(boxes_.Calls().empty());
}

TEST_F(StoreGuardTest, AnUnchangedEditorNeverAsksWhateverHappenedToTheStore) {
    dlg_->OnCommand(ID_EDITOR);
    AnotherCopySaves("theirs");
    EXPECT_TRUE(dlg_->Editor()->CloseAndSave());
    EXPECT_TRUE(boxes_.Calls().empty());
    EXPECT_EQ(TextsIn(kStorePath), Texts{"theirs"});
}

TEST_F(StoreGuardTest, ASecondEditorOnTheSameStoreIsRefusedWithAMessage) {
    // Another copy's editor, from another program file: it holds the store's lock.
    EditorState other;
    other.Load(kStorePath, At(2026, 12, 8, 14, 30));
    ASSERT_EQ(other.Opening(), EditorOpening::Opened);

    dlg_->OnCommand(ID_EDITOR);
    EXPECT_FALSE(IsWindow(dlg_->Editor()));
    ASSERT_EQ(boxes_.Calls().size(), 1u);
    EXPECT_EQ(boxes_.Calls()[0].type, MB_OK | MB_ICONWARNING);
    const QString folder = QFileInfo(QString::fromLatin1(kBaseDir)).absoluteFilePath();
    EXPECT_NE(boxes_.Calls()[0].text.indexOf(folder), -1) << boxes_.Calls()[0].text.toStdString();

    // Once that editor has closed, ours opens.
    other.Clear();
    dlg_->OnCommand(ID_EDITOR);
    EXPECT_TRUE(IsWindow(dlg_->Editor()));
    EXPECT_EQ(boxes_.Calls().size(), 1u);
}

class DamagedStoreTest : public test::WindowTest {
protected:
    DamagedStoreTest() {
        // A count and a size no list of reminders has: zeros, sparse, costing no disk. Just past
        // the bound, as the C runtime under Windows sizes files by a 32-bit length.
        test::WriteBytes(kStorePath, {0xFF, 0xFF, 0xFF, 0xFF});
        fs::resize_file(kStorePath, kSize);
    }
    static constexpr std::uint64_t kSize =
        4 + kRecordSize * (std::uint64_t{kMostStoredRecords} + 1);
};

TEST_F(DamagedStoreTest, IsToldOnceShowsNothingAndIsNeverOpenedForEditing) {
    notifyDays = 30;
    const fs::file_time_type written = fs::last_write_time(kStorePath);
    auto dlg = std::make_unique<CManagerDlg>();
    ASSERT_TRUE(dlg->Create());
    EXPECT_EQ(dlg->GetChildKind(), CHILD_NONE); // no current messages
    EXPECT_TRUE(dlg->TodayList().Records().empty());
    // The box waits for the event loop, so the start goes on to the tray and the timer.
    EXPECT_TRUE(boxes_.Calls().empty());
    QCoreApplication::processEvents();
    ASSERT_EQ(boxes_.Calls().size(), 1u);
    EXPECT_EQ(boxes_.Calls()[0].type, MB_OK | MB_ICONERROR);
    EXPECT_TRUE(
        boxes_.Calls()[0].text.startsWith(QString::fromUtf8("Файл Base/ztovrin.dat повреждён")))
        << boxes_.Calls()[0].text.toStdString();

    // Asked for again, the current messages show nothing and say nothing new.
    dlg->OnCommand(ID_CURRENT_MESSAGES);
    QCoreApplication::processEvents();
    EXPECT_EQ(boxes_.Calls().size(), 1u);

    // The editor refuses it, saying why, and nothing writes over it.
    dlg->OnCommand(ID_EDITOR);
    EXPECT_FALSE(IsWindow(dlg->Editor()));
    ASSERT_EQ(boxes_.Calls().size(), 2u);
    EXPECT_EQ(boxes_.Calls()[1].text, boxes_.Calls()[0].text);
    dlg->OnCommand(ID_EXIT);
    EXPECT_EQ(fs::file_size(kStorePath), kSize);
    EXPECT_EQ(fs::last_write_time(kStorePath), written);
}

} // namespace
} // namespace tovrin
