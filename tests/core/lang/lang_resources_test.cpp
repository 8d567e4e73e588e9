#include "core/lang/lang_file.h"
#include "core/lang/lang_keys.h"

#include "support/temp_base.h"

#include <gtest/gtest.h>
#include <set>

namespace tovrin {
namespace {

class ShippedLanguage : public testing::TestWithParam<const char*> {
protected:
    std::filesystem::path File() const { return test::SourceDir() / "res/Base" / GetParam(); }

    std::string Text(std::string_view section, long key) const {
        CLangFile lang;
        EXPECT_TRUE(lang.Open(File()));
        lang.Section(section);
        std::string text;
        EXPECT_TRUE(lang.Get(key, text)) << section << " " << key;
        return text;
    }
};

TEST_P(ShippedLanguage, HasEveryTextTheProgramAsksFor) {
    for (const LangKey& k : kLangKeys) {
        EXPECT_NE(Text(k.section, k.key), "") << k.section << " " << k.key;
    }
    // The weekday follows the prefix with nothing between, and the tray shows 63 characters.
    for (long key : {3, 4, 5}) {
        EXPECT_TRUE(Text(kLangNotify, key).ends_with(' ')) << key;
    }
    EXPECT_LE(Text(kLangManager, 2).size(), 63u);
    // The about text is a printf format: a lone "%" would eat the next character.
    std::string about = Text(kLangAbout, 2);
    for (std::size_t i = about.find('%'); i != std::string::npos; i = about.find('%', i + 2)) {
        EXPECT_EQ(about[i + 1], '%');
    }
}

TEST_P(ShippedLanguage, HasTheAddedTextsWithTheirPlaceholders) {
    for (const LangKey& k : kLangAddedKeys) {
        const std::string text = Text(k.section, k.key);
        const bool year = k.section == kLangModify && k.key == kModifyYearSuffix;
        EXPECT_TRUE(year || !text.empty()) << k.section << " " << k.key;
    }
    // Each placeholder the program fills in is there, so no reason or file name goes unshown.
    EXPECT_NE(Text(kLangEditor, kEditorPartialStore).find("%3"), std::string::npos);
    EXPECT_NE(Text(kLangEditor, kEditorPartialStore).find("%2"), std::string::npos);
    for (long key :
         {kEditorPartialStore, kEditorHelpMissing, kEditorHelpNoViewer, kEditorOpenerCrashed}) {
        EXPECT_NE(Text(kLangEditor, key).find("%1"), std::string::npos) << key;
    }
    for (long key :
         {kEditorSaveWrite, kEditorSaveReadOnly, kEditorSaveTemporary, kEditorSaveReplace,
          kEditorSaveUnconfirmed, kEditorSaveLink, kEditorOpenerStatus, kEditorOpenerNotStarted}) {
        EXPECT_NE(Text(kLangEditor, key).find("%1"), std::string::npos) << key;
        EXPECT_NE(Text(kLangEditor, key).find("%2"), std::string::npos) << key;
    }
    EXPECT_NE(Text(kLangModify, kModifyRefused).find("%1"), std::string::npos);
    EXPECT_NE(Text(kLangErrors, kErrorsMarkerUnchecked).find("%1"), std::string::npos);
}

TEST(ShippedRussian, KeepsTheYearSuffixItAlwaysShowed) {
    CLangFile lang;
    ASSERT_TRUE(lang.Open(test::SourceDir() / "res/Base/default.lng"));
    lang.Section(kLangModify);
    std::string suffix;
    ASSERT_TRUE(lang.Get(kModifyYearSuffix, suffix));
    EXPECT_EQ(suffix, "\xe3."); // "г." in windows-1251
}

TEST_P(ShippedLanguage, IsWindows1251WithCrLfLinesThatFitOnePiece) {
    auto bytes = test::ReadBytes(File());
    ASSERT_FALSE(bytes.empty());
    std::set<std::string> headers;
    std::string line;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        char c = static_cast<char>(bytes[i]);
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') {
            EXPECT_LE(line.size(), 254u) << line;
            if (line.starts_with('[')) {
                EXPECT_TRUE(headers.insert(line).second) << "repeated " << line;
            }
            line.clear();
            ++i;
            continue;
        }
        // No control characters (a NUL would cut a text) and no byte without a character.
        EXPECT_TRUE(bytes[i] >= 0x20 && bytes[i] != 0x7F && bytes[i] != 0x98) << i;
        line.push_back(c);
    }
    EXPECT_EQ(line, "") << "the last line has no line end";
}

INSTANTIATE_TEST_SUITE_P(Files, ShippedLanguage, testing::Values("default.lng", "english.lng"));

} // namespace
} // namespace tovrin
