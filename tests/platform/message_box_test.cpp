#include "platform/message_box.h"

#include "platform/lang_texts.h"
#include "res/resource.h"
#include "support/temp_base.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QLayout>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

namespace tovrin {
namespace {

TEST(MessageBox, TheRecorderAnswersAndRemembersEveryBox) {
    MessageBoxRecorder boxes(IDCANCEL);
    QWidget owner;
    EXPECT_EQ(MessageBox(&owner, "Delete?", "Tovrin", MB_OKCANCEL), IDCANCEL);
    // An OK-only box has no other answer.
    EXPECT_EQ(MessageBox(nullptr, "Already open", "Tovrin", MB_OK), IDOK);
    EXPECT_EQ(AfxMessageBox("Error"), IDOK);
    ASSERT_EQ(boxes.Calls().size(), 3u);
    EXPECT_EQ(boxes.Calls()[0].owner, &owner);
    EXPECT_EQ(boxes.Calls()[0].text, "Delete?");
    EXPECT_EQ(boxes.Calls()[0].type, MB_OKCANCEL);
    EXPECT_EQ(boxes.Calls()[1].type, MB_OK);
    EXPECT_EQ(boxes.Calls()[2].caption, AppName());
    EXPECT_EQ(boxes.Calls()[2].type, MB_OK | MB_ICONEXCLAMATION);
    EXPECT_EQ(MB_ICONWARNING, 0x30u);

    boxes.SetAnswerer(
        [](const MessageBoxCall& call) { return call.text == "yes" ? IDOK : IDCANCEL; });
    EXPECT_EQ(MessageBox(nullptr, "yes", "", MB_OKCANCEL), IDOK);
    EXPECT_EQ(MessageBox(nullptr, "no", "", MB_OKCANCEL), IDCANCEL);
}

TEST(MessageBox, RecordersNest) {
    MessageBoxRecorder outer;
    {
        MessageBoxRecorder inner;
        AfxMessageBox("inner");
        EXPECT_EQ(inner.Calls().size(), 1u);
    }
    AfxMessageBox("outer");
    EXPECT_EQ(outer.Calls().size(), 1u);
    EXPECT_EQ(outer.Calls()[0].text, "outer");
}

TEST(MessageBox, AShortQuestionUnderALongTitleIsWidenedToHoldTheTitle) {
    const QString title = QStringLiteral("Удаление напоминания");
    QMessageBox box(QMessageBox::NoIcon, title, QStringLiteral("Да?"), QMessageBox::Ok);
    const int before = box.sizeHint().width();
    MakeRoomForTitle(box, title);
    box.layout()->invalidate();
    const int after = box.layout()->totalMinimumSize().width();
    EXPECT_GT(after, before);
    EXPECT_GE(after, QFontMetrics(box.font()).horizontalAdvance(title));

    // A title that already fits changes nothing a user would see.
    QMessageBox wide(QMessageBox::NoIcon, QStringLiteral("Tovrin"), QString(80, QLatin1Char('x')),
                     QMessageBox::Ok);
    const int wideBefore = wide.layout()->totalMinimumSize().width();
    MakeRoomForTitle(wide, QStringLiteral("Tovrin"));
    wide.layout()->invalidate();
    EXPECT_EQ(wide.layout()->totalMinimumSize().width(), wideBefore);
}

TEST(MessageBox, TheAppNameIsTovrinUnlessSetOtherwise) {
    EXPECT_EQ(AppName(), "Tovrin");
}

TEST(PostQuitMessage, IsRecordedWhileARecorderIsThere) {
    QuitRecorder quits;
    EXPECT_FALSE(quits.Posted());
    PostQuitMessage(0);
    PostQuitMessage(3);
    EXPECT_EQ(quits.Count(), 2);
    EXPECT_EQ(quits.LastCode(), 3);
}

TEST(PostQuitMessage, EndsTheRunningEventLoopWithItsCode) {
    // The quit is queued: asked for before the loop runs, it still ends it.
    PostQuitMessage(7);
    QTimer guard;
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    guard.start(5000);
    EXPECT_EQ(QCoreApplication::exec(), 7);
}

// The language file's failures, as the windows show them.
TEST(LangTexts, MissingTextsShowErrorAndAskToQuit) {
    test::TempBase base;
    // windows-1251: "Редактор" for key 2; key 3 missing.
    test::WriteText(base.Base() / "default.lng",
                    "[Editor]\r\n1=Tovrin\r\n2=\xD0\xE5\xE4\xE0\xEA\xF2\xEE\xF0\r\n");
    MessageBoxRecorder boxes;
    QuitRecorder quits;
    const LangTexts texts = LoadSectionTexts("Editor", {1, 2, 3});
    EXPECT_EQ(texts[1], "Tovrin");
    EXPECT_EQ(texts[2], QString::fromUtf8("Редактор"));
    EXPECT_EQ(texts[3], "");
    EXPECT_EQ(texts[4], ""); // never asked for
    ASSERT_EQ(boxes.Calls().size(), 1u);
    EXPECT_EQ(boxes.Calls()[0].text, "Error");
    EXPECT_EQ(quits.Count(), 1);
    EXPECT_EQ(quits.LastCode(), 0);
}

TEST(LangTexts, AMissingFileSaysSoThenFailsEveryText) {
    test::TempBase base;
    MessageBoxRecorder boxes;
    QuitRecorder quits;
    const LangTexts texts = LoadSectionTexts("About", {1, 2});
    EXPECT_EQ(texts[1], "");
    ASSERT_EQ(boxes.Calls().size(), 3u);
    EXPECT_EQ(boxes.Calls()[0].text, "Couldn't load LANGUAGE RESOURCE");
    EXPECT_EQ(boxes.Calls()[1].text, "Error");
    EXPECT_EQ(boxes.Calls()[2].text, "Error");
    EXPECT_EQ(quits.Count(), 2);
}

} // namespace
} // namespace tovrin
