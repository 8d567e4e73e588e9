// The texts this program added to its windows come from the language file, and a file written
// before they existed still works: each falls back to the built-in text, without a box.
#include "core/lang/lang_keys.h"
#include "editor_fixture.h"
#include "platform/date_time_picker.h"
#include "platform/lang_texts.h"
#include "ui/editor_dlg.h"
#include "ui/modify_page.h"

#include <QAbstractButton>

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
