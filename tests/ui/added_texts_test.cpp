// The texts this program added to its windows come from the language file, and a file written
// before they existed still works: each falls back to the built-in text, without a box.
#include "core/lang/lang_keys.h"
#include "editor_fixture.h"
#include "platform/date_time_picker.h"
#include "platform/lang_texts.h"
#include "ui/editor_dlg.h"
#include "ui/modify_page.h"

#include <QAbstractButton>

#include <cerrno>
#include <sys/stat.h>
#include <system_error>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

namespace tovrin {
namespace {

using test::At;

class AddedTexts : public test::EditorFixture {
protected:
    // A shipped file, perhaps with one key line of a section taken out and one put in its place.
    static void UseFile(const std::string& shipped, const std::string& section = "",
                        const std::string& dropLine = "", const std::string& addLine = "") {
        const std::vector<std::uint8_t> bytes =
            test::ReadBytes(test::SourceDir() / "res/Base" / shipped);
        std::string text(bytes.begin(), bytes.end());
        if (!section.empty()) {
            const std::size_t header = text.find("[" + section + "]\r\n");
            ASSERT_NE(header, std::string::npos) << section;
            const std::size_t at = text.find("\r\n" + dropLine, header);
            ASSERT_NE(at, std::string::npos) << dropLine;
            text.erase(at, text.find("\r\n", at + 2) - at);
            if (!addLine.empty()) {
                text.insert(at, "\r\n" + addLine);
            }
        }
        test::WriteText(kLangPath, text);
    }

    // The picker of a new page after its yearly box is clicked.
    std::pair<QString, QString> YearlyPicker() {
        QWidget host;
        CModifyPage page(&host);
        page.GetDlgItemAs<QAbstractButton>(IDC_MODE_YEARLY)->click();
        return {page.Picker()->Format(), page.Picker()->Text()};
    }
};

TEST_F(AddedTexts, TheYearSuffixComesFromTheLanguageFile) {
    // The shipped Russian file shows what it always showed.
    EXPECT_EQ(YearlyPicker().first, QString::fromUtf8("d MMMM yyy г."));

    UseFile("english.lng");
    auto [format, text] = YearlyPicker();
    EXPECT_EQ(format, "d MMMM yyy");
    EXPECT_EQ(text, "8 December 2026");

    // An English file from before the suffix was a text keeps the old letter.
    UseFile("english.lng", "Modify", "12=");
    EXPECT_EQ(YearlyPicker().first, QString::fromUtf8("d MMMM yyy г."));

    // Latin letters in a suffix are shown as written, never read as date fields.
    UseFile("english.lng", "Modify", "12=", "12=y'd.");
    std::tie(format, text) = YearlyPicker();
    EXPECT_EQ(format, "d MMMM yyy 'y''d.'");
    EXPECT_EQ(text, "8 December 2026 y'd.");
    EXPECT_TRUE(boxes_.Calls().empty());
    EXPECT_FALSE(quits_.Posted());
}

TEST_F(AddedTexts, AMissingAddedTextFallsBackWithoutABox) {
    const QString builtIn = QStringLiteral("built in");
    EXPECT_EQ(AddedText(kLangEditor, kEditorHelpMissing, builtIn),
              QString::fromUtf8("Файл справки %1 не найден."));
    // A "\n" in the file is a line break on the screen.
    EXPECT_TRUE(AddedText(kLangEditor, kEditorDiscardQuestion, builtIn).contains("\n\n"));

    UseFile("english.lng", "Editor", "40=");
    EXPECT_EQ(AddedText(kLangEditor, kEditorHelpMissing, builtIn), builtIn);
    EXPECT_EQ(AddedText(kLangEditor, kEditorHelpNoViewer, builtIn).left(16), "The desktop has ");
    std::filesystem::remove(kLangPath);
    EXPECT_EQ(AddedText(kLangModify, kModifyRefused, builtIn), builtIn);
    EXPECT_TRUE(boxes_.Calls().empty());
    EXPECT_FALSE(quits_.Posted());
}

TEST_F(AddedTexts, TheSentencesOfAFailedSaveComeFromTheLanguageFile) {
    const SaveResult readOnly = SaveResult::Failure("Base/ztovrin.dat", SaveStep::Target, EACCES);
    const auto reason = [](int error) {
        return QString::fromStdString(std::generic_category().message(error));
    };
    EXPECT_EQ(QString::fromStdString(readOnly.Message(LoadSaveTexts())),
              QString::fromUtf8("Не удалось записать Base/ztovrin.dat: ") + reason(EACCES) +
                  QString::fromUtf8(" (файл доступен только для чтения)"));
    SaveResult linked = SaveResult::Failure("Base/ztovrin.dat", SaveStep::SyncDirectory, EIO);
    linked.target = "/data/z.dat";
    EXPECT_EQ(QString::fromStdString(linked.Message(LoadSaveTexts())),
              QString::fromUtf8("Файл Base/ztovrin.dat (ссылка на /data/z.dat) записан, но система "
                                "не подтвердила, что он надёжно сохранён на диске: ") +
                  reason(EIO));

    // An older file without the sentence: the built-in one, and no box.
    UseFile("english.lng", "Editor", "43=");
    EXPECT_EQ(readOnly.Message(LoadSaveTexts()), readOnly.Message());
    // A sentence without the reason's place would hide the reason: the built-in one instead.
    UseFile("default.lng", "Editor", "43=", "43=Only for reading: %1");
    EXPECT_EQ(readOnly.Message(LoadSaveTexts()), readOnly.Message());
    std::filesystem::remove(kLangPath);
    EXPECT_EQ(linked.Message(LoadSaveTexts()), linked.Message());
    EXPECT_TRUE(boxes_.Calls().empty());
    EXPECT_FALSE(quits_.Posted());
}

// A read-only store, as a user meets it closing the editor with a Russian desktop.
TEST_F(AddedTexts, AFailedSaveIsToldWholeInTheFilesLanguage) {
    test::PutStore({test::Rec(MODE_YEARLY, At(1990, 1, 1), "old")});
    ::chmod(kStorePath, 0444);
    CEditorDlg editor(nullptr, nullptr);
    ASSERT_TRUE(editor.Create());
    editor.OnRecord(test::Rec(MODE_YEARLY, At(2027, 1, 1), "Call the bank"));
    boxes_.SetAnswer(IDCANCEL);
    EXPECT_FALSE(editor.CloseAndSave());
    ASSERT_EQ(boxes_.Calls().size(), 2u);
    const QString text = boxes_.Calls()[0].text;
    EXPECT_TRUE(text.startsWith(QString::fromUtf8("Не удалось записать Base/ztovrin.dat: ")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QString::fromUtf8("(файл доступен только для чтения)\n\nВаши")))
        << text.toStdString();
    EXPECT_FALSE(text.contains("Could not")) << text.toStdString();
    EXPECT_FALSE(quits_.Posted());

    // Where the session asks for the changes, the reason is in the same words.
    QString problem;
    EXPECT_FALSE(editor.SaveKeepingOpen(problem));
    EXPECT_TRUE(problem.startsWith(QString::fromUtf8("Не удалось записать")))
        << problem.toStdString();
    ::chmod(kStorePath, 0644);
    boxes_.SetAnswer(IDOK);
    EXPECT_TRUE(editor.CloseAndSave());
}

TEST_F(AddedTexts, TheEditorsBoxesKeepItsLanguageWhenTheFolderIsGone) {
    CEditorDlg editor(nullptr, nullptr);
    ASSERT_TRUE(editor.Create());
    editor.OnRecord(test::Rec(MODE_YEARLY, At(2027, 1, 1), "Call the bank"));
    // The language file goes with the folder; the boxes read their texts when the editor opened.
    std::filesystem::rename("Base", "Base.away");
    boxes_.SetAnswer(IDCANCEL);
    EXPECT_FALSE(editor.CloseAndSave());
    std::filesystem::rename("Base.away", "Base");
    ASSERT_EQ(boxes_.Calls().size(), 2u);
    EXPECT_TRUE(boxes_.Calls()[0].text.contains(QString::fromUtf8("Ваши напоминания на месте")))
        << boxes_.Calls()[0].text.toStdString();
    EXPECT_TRUE(boxes_.Calls()[1].text.startsWith(QString::fromUtf8("Закрыть редактор")));
    EXPECT_FALSE(quits_.Posted());
    boxes_.SetAnswer(IDOK);
    EXPECT_TRUE(editor.CloseAndSave());
}

} // namespace
} // namespace tovrin
