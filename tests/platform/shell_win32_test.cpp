// Windows' shell, asked for real (under Wine in the cross-build): only for files it can open
// nothing for, so no viewer is ever started.
#include "platform/shell.h"
#include "support/temp_base.h"

#include <QDir>
#include <QTest>
#include <gtest/gtest.h>

#include <optional>

namespace tovrin {
namespace {

// What the editor would be told, once the shell's thread has answered.
std::optional<QString> Answer(const QString& file, const OpenerTexts& texts) {
    std::optional<QString> answer;
    ShellOpenFile(
        file, [&answer](const QString& problem) { answer = problem; }, texts);
    EXPECT_TRUE(QTest::qWaitFor([&] { return answer.has_value(); }, 20000));
    return answer;
}

TEST(ShellWin32, AFileTheShellCannotOpenIsToldInTheUsersWords) {
    test::TempBase base;
    OpenerTexts texts;
    texts.missing = QStringLiteral("gone: %1");
    texts.shellFailed = QStringLiteral("failed: %1 because %2");
    const QString missing =
        QDir::toNativeSeparators(QDir::current().absoluteFilePath("Base/Help.chm"));
    EXPECT_EQ(Answer(QStringLiteral("Base/Help.chm"), texts), "gone: " + missing);

    // A kind of file nothing is associated with: the system's own reason, after the absolute path.
    test::WriteText("Base/notes.tovrin-unknown", "x");
    const std::optional<QString> unknown =
        Answer(QStringLiteral("Base/notes.tovrin-unknown"), texts);
    ASSERT_TRUE(unknown.has_value());
    const QString prefix =
        "failed: " +
        QDir::toNativeSeparators(QDir::current().absoluteFilePath("Base/notes.tovrin-unknown")) +
        " because ";
    EXPECT_TRUE(unknown->startsWith(prefix)) << unknown->toStdString();
    EXPECT_GT(unknown->size(), prefix.size()) << "no reason given";
}

TEST(ShellWin32, WhatTheShellIsGivenIsAbsoluteAndInTheSystemsSeparators) {
    test::TempBase base;
    QStringList asked;
    SetShellHookForTests([&asked](const QString& verb, const QString& target) {
        asked << verb + QLatin1Char(' ') + target;
    });
    test::WriteText("Base/Help.chm", "ITSF");
    EXPECT_EQ(Answer(QStringLiteral("Base/Help.chm"), OpenerTexts{}), QString());
    EXPECT_TRUE(ShellOpen(QStringLiteral("https://tovrin.org/")));
    // A relative path is a file under the working directory, never a web host.
    EXPECT_TRUE(ShellOpen(QStringLiteral("Base/Help.chm")));
    SetShellHookForTests({});
    const QString help =
        QDir::toNativeSeparators(QDir::current().absoluteFilePath("Base/Help.chm"));
    EXPECT_EQ(asked, QStringList({"open " + help, "open https://tovrin.org/", "open " + help}));
}

} // namespace
} // namespace tovrin
