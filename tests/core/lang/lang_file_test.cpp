#include "core/lang/lang_file.h"

#include "core/lang/counting_feedback.h"
#include "support/temp_base.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace tovrin {
namespace {

namespace fs = std::filesystem;
using test::CountingFeedback;
using test::TempBase;
using test::WriteText;

fs::path Sample(const char* name) {
    return test::SourceDir() / "tests/data/lang" / name;
}

std::optional<std::string> Lookup(const fs::path& file, std::string_view section, long key) {
    CLangFile lang;
    EXPECT_TRUE(lang.Open(file));
    lang.Section(section);
    std::string text;
    return lang.Get(key, text) ? std::optional(text) : std::nullopt;
}

class SectionsFile : public testing::TestWithParam<const char*> {};

TEST_P(SectionsFile, FindsEachKeyInItsOwnSectionOnly) {
    using Text = std::optional<std::string>;
    struct Case {
        const char* section;
        long key;
        Text text;
    } cases[] = {
        {"About", 1, "word"},
        {"About", 2, "  spaced"},              // blanks around the key, text keeps its blank
        {"About", 3, "a=b=c"},                 // text after the first "="
        {"About", 4, ""},                      // an empty text is still found
        {"About", 0, {}},                      // a line before the first header belongs nowhere
        {"About", 5, {}},                      // the next header ends the section
        {"Editor", 6, "text [with] brackets"}, // found for its own key...
        {"Editor", 7, {}},                     // ...but ends the section for the next
        {"Menu", 1, "first"},                  // "[ Menu]" and "[menu]" do not select; first wins
        {"Last", 2, "a\rb"},                   // a CR not before LF is text
        {"Last", 9, "unterminated"},           // last line without a line end
        {"Last", 3, {}},                       // missing from the last section
        {"Nowhere", 1, {}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Lookup(Sample(GetParam()), c.section, c.key), c.text)
            << c.section << " " << c.key;
    }
}

INSTANTIATE_TEST_SUITE_P(LineEnds, SectionsFile,
                         testing::Values("sections.lng", "sections_crlf.lng"));

TEST(LangFile, ReadsKeysTheWayAtolDoes) {
    struct Case {
        const char* part;
        long key;
    } cases[] = {
        {"7", 7},
        {" \t+8 ", 8},
        {"-3", -3},
        {"12abc", 12},
        {"abc", 0},
        {"", 0},
        {"- 5", 0},
        {"000000000000000000000000000042", 42}, // 30 characters, still 42
        {"2147483647", 2147483647},
        {"99999999999999999999999", 2147483647},
        {"-2147483648", -2147483647 - 1},
        {"-99999999999999999999999", -2147483647 - 1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(CLangFile::ParseKey(c.part), c.key) << c.part;
    }
}

TEST(LangFile, LongLinesAreCutAt255CharactersWhateverTheLineEnd) {
    TempBase base;
    for (std::string end : {"\n", "\r\n"}) {
        for (std::size_t len = 250; len <= 256; ++len) {
            WriteText("a.lng", "[S]" + end + "1=" + std::string(len, 'a') + end + "2=next" + end);
            EXPECT_EQ(Lookup("a.lng", "S", 1), std::string(std::min<std::size_t>(len, 253), 'a'));
            EXPECT_EQ(Lookup("a.lng", "S", 2), "next") << len;
        }
    }
    // The rest of a cut line is a line of its own; a file with no line ends is all pieces.
    EXPECT_EQ(Lookup(Sample("long_lines.lng"), "S", 3), "tail");
    EXPECT_EQ(Lookup(Sample("long_lines.lng"), std::string(253, 'n'), 7), "seven");
    EXPECT_EQ(Lookup(Sample("long_lines.lng"), std::string(254, 'n'), 7), std::nullopt);
    EXPECT_EQ(Lookup(Sample("long_lines.lng"), std::string(100000, 'n'), 7), std::nullopt);
}

TEST(LangFile, TheSelectedSectionOutlivesCloseButNotAFailedSearch) {
    CLangFile lang;
    ASSERT_TRUE(lang.Open(Sample("sections.lng")));
    lang.Section("Editor");
    lang.Close();
    lang.Section("About"); // no file: nothing happens
    char buffer[256];
    EXPECT_FALSE(lang.Get(5, buffer));
    ASSERT_TRUE(lang.Open(Sample("sections.lng")));
    ASSERT_TRUE(lang.Get(5, buffer));
    EXPECT_STREQ(buffer, "five");
    lang.Section("Missing");
    EXPECT_FALSE(lang.Get(5, buffer));
    EXPECT_STREQ(buffer, "");
}

TEST(LangFile, WhatCannotBeOpenedIsReportedOnceAndFindsNothing) {
    TempBase base;
#ifdef _WIN32
    // A device's name opens the device, which is no file to read.
    for (const char* path : {"missing.lng", "Base", "NUL"}) {
#else
    ASSERT_EQ(mkfifo("fifo.lng", 0600), 0);
    for (const char* path : {"missing.lng", "Base", "fifo.lng", "/dev/zero"}) {
#endif
        CountingFeedback feedback;
        CLangFile lang(&feedback);
        EXPECT_FALSE(lang.Open(path));
        lang.Section("S");
        std::string text = "stale";
        EXPECT_FALSE(lang.Get(1, text));
        EXPECT_EQ(text, "");
        EXPECT_EQ(feedback.opens, 1) << path;
        EXPECT_EQ(feedback.lookups, 0);
    }
}

TEST(LangFile, ANulByteEndsTheLineAsTheProgramSeesIt) {
    EXPECT_EQ(Lookup(Sample("nul_bytes.lng"), "S", 1), "ab");
    EXPECT_EQ(Lookup(Sample("nul_bytes.lng"), "S", 2), "two");
}

} // namespace
} // namespace tovrin
