#include "platform/shell.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QString>
#include <QTimer>
#include <QUrl>

#include <memory>

namespace tovrin {
namespace {

// xdg-open's exit statuses, in the user's words.
QString OpenerProblem(const OpenerTexts& texts, const QString& file, int status) {
    switch (status) {
    case 2:
        return texts.missing.arg(file);
    case 3:
        return texts.noViewer.arg(file);
    default:
        // One pass, so a "%2" in the file's name stays as it is.
        return texts.status.arg(file, QString::number(status));
    }
}

#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
// xdg-open rather than QDesktopServices: only the opener's exit status tells whether the file
// was opened, and the desktop service throws it away. The process is the application's, not a
// window's, so closing a window never kills the opener (or the viewer it waits for).
void StartOpener(const QString& file, ShellOpenDone done, const OpenerTexts& texts) {
    auto* opener = new QProcess(QCoreApplication::instance());
    auto report = std::make_shared<ShellOpenDone>(std::move(done));
    auto finish = [opener, report](const QString& problem) {
        if (*report) {
            const ShellOpenDone tell = std::move(*report);
            *report = nullptr;
            opener->deleteLater();
            tell(problem);
        }
    };
    QObject::connect(
        opener, &QProcess::errorOccurred, opener,
        [opener, file, finish, notStarted = texts.notStarted](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart) {
                finish(notStarted.arg(file, opener->errorString()));
            }
        });
    QObject::connect(opener, &QProcess::finished, opener,
                     [file, finish, texts](int status, QProcess::ExitStatus how) {
                         if (how == QProcess::CrashExit) {
                             finish(texts.crashed.arg(file));
                         } else {
                             finish(status == 0 ? QString() : OpenerProblem(texts, file, status));
                         }
                     });
    opener->setProcessChannelMode(QProcess::ForwardedChannels);
    opener->setStandardInputFile(QProcess::nullDevice());
    opener->start(QStringLiteral("xdg-open"), {file});
}

// Whether the desktop names a program for compiled help. Asked first, as xdg-open, finding none,
// hands a file to whatever browser it finds, and a browser offers a .chm for download instead of
// showing it.
void AskForHelpViewer(std::function<void(bool found)> answer) {
    auto* query = new QProcess(QCoreApplication::instance());
    auto report = std::make_shared<std::function<void(bool)>>(std::move(answer));
    auto finish = [query, report](bool found) {
        if (*report) {
            const std::function<void(bool)> tell = std::move(*report);
            *report = nullptr;
            query->deleteLater();
            tell(found);
        }
    };
    QObject::connect(query, &QProcess::errorOccurred, query,
                     [finish](QProcess::ProcessError error) {
                         if (error == QProcess::FailedToStart) {
                             finish(false);
                         }
                     });
    QObject::connect(query, &QProcess::finished, query,
                     [query, finish](int status, QProcess::ExitStatus how) {
                         finish(how == QProcess::NormalExit && status == 0 &&
                                !query->readAllStandardOutput().trimmed().isEmpty());
                     });
    query->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    query->setStandardInputFile(QProcess::nullDevice());
    query->start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"),
                                              QStringLiteral("application/vnd.ms-htmlhelp")});
}

// The help's pages in the browser. `ifMissing` is what the user is told when there are no pages;
// `ifFailed`, when not empty, replaces the opener's own problem (the compiled help's road failed
// first, and its problem says more).
void OpenHelpPages(const QString& pages, const QString& ifMissing, const QString& ifFailed,
                   ShellOpenDone done, const OpenerTexts& texts) {
    if (!QFileInfo::exists(pages)) {
        QTimer::singleShot(0, QCoreApplication::instance(),
                           [done = std::move(done), ifMissing] { done(ifMissing); });
        return;
    }
    StartOpener(
        pages,
        [done = std::move(done), ifFailed](const QString& problem) {
            done(problem.isEmpty() || ifFailed.isEmpty() ? problem : ifFailed);
        },
        texts);
}
#else
void StartOpener(const QString& file, ShellOpenDone done, const OpenerTexts& texts) {
    const bool opened = QDesktopServices::openUrl(QUrl::fromLocalFile(file));
    // Later, as on the desktops with an opener process: callers never hear back inside the call.
    QTimer::singleShot(0, QCoreApplication::instance(),
                       [file, opened, done = std::move(done), texts] {
                           done(opened ? QString() : OpenerProblem(texts, file, 3));
                       });
}
#endif

} // namespace

bool ShellOpen(const QString& target) {
    // Without a working directory Qt reads "Base/Help.chm" as the web host "base".
    const QUrl url = QUrl::fromUserInput(target, QDir::currentPath(), QUrl::AssumeLocalFile);
    if (url.isLocalFile()) {
        return QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(target).absoluteFilePath()));
    }
    return QDesktopServices::openUrl(url);
}

void ShellOpenFile(const QString& file, ShellOpenDone done, const OpenerTexts& texts) {
    StartOpener(QFileInfo(file).absoluteFilePath(), std::move(done), texts);
}

#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
void ShellOpenHelp(const QString& compiled, const QString& pages, ShellOpenDone done,
                   const OpenerTexts& texts) {
    const QString chm = QFileInfo(compiled).absoluteFilePath();
    const QString html = QFileInfo(pages).absoluteFilePath();
    if (!QFileInfo::exists(chm)) {
        OpenHelpPages(html, texts.missing.arg(chm), {}, std::move(done), texts);
        return;
    }
    AskForHelpViewer([chm, html, done = std::move(done), texts](bool found) mutable {
        if (!found) {
            const QString none = texts.noViewer.arg(chm);
            OpenHelpPages(html, none, none, std::move(done), texts);
            return;
        }
        StartOpener(
            chm,
            [html, done = std::move(done), texts](const QString& problem) mutable {
                if (problem.isEmpty()) {
                    done({});
                } else {
                    OpenHelpPages(html, problem, problem, std::move(done), texts);
                }
            },
            texts);
    });
}
#else
void ShellOpenHelp(const QString& compiled, const QString&, ShellOpenDone done,
                   const OpenerTexts& texts) {
    ShellOpenFile(compiled, std::move(done), texts);
}
#endif

} // namespace tovrin
