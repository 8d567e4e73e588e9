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

} // namespace tovrin
