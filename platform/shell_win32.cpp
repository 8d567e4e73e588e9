// The shell's "open" on Windows: ShellExecuteEx, on a thread of its own. The shell may take its
// time (a browser that starts, a share that wakes up, a viewer that talks to it by DDE), and the
// event loop must never wait for it; the answer comes back to the loop as a posted call.
#include "platform/shell.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMetaObject>
#include <QUrl>

#include <mutex>
#include <thread>

#define WIN32_LEAN_AND_MEAN
#include <objbase.h>
#include <shellapi.h>
#include <windows.h>

namespace tovrin {
namespace {

ShellHook hook;

// Whether the application object is there to take an answer: the shell's thread may finish as
// the program ends, and posting to an application being destroyed is not safe.
std::mutex appLock;
bool appAlive = false;

void ForgetApplication() {
    const std::lock_guard lock(appLock);
    appAlive = false;
}

void PostAnswer(std::function<void()> answer) {
    const std::lock_guard lock(appLock);
    if (appAlive) {
        // A posted call is safe from any thread.
        QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(answer),
                                  Qt::QueuedConnection);
    }
}

// The system's own sentence for an error, without its closing line break.
QString SystemReason(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD n = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    QString reason = n > 0 ? QString::fromWCharArray(text, static_cast<int>(n)).trimmed()
                           : QStringLiteral("Windows error %1").arg(error);
    ::LocalFree(text);
    if (reason.endsWith(QLatin1Char('.'))) {
        reason.chop(1);
    }
    return reason;
}

// 0 when the shell took the target, otherwise the system's error.
DWORD Execute(const std::wstring& target) {
    // The shell's own helpers want a single-threaded apartment, and no DDE of the kind that waits
    // on a window of ours.
    const HRESULT com =
        ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // The program tells the user itself; the shell is not to put up its own box.
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.lpVerb = L"open";
    info.lpFile = target.c_str();
    info.nShow = SW_SHOWNORMAL;
    const DWORD error = ::ShellExecuteExW(&info) ? 0 : ::GetLastError();
    if (SUCCEEDED(com)) {
        ::CoUninitialize();
    }
    return error;
}

// Asks the shell on a thread of its own; `answer` runs later on the event loop with the result,
// unless the program has ended by then.
void ExecuteLater(const QString& target, std::function<void(DWORD error)> answer) {
    {
        const std::lock_guard lock(appLock);
        if (!appAlive && QCoreApplication::instance() != nullptr) {
            appAlive = true;
            qAddPostRoutine(ForgetApplication);
        }
    }
    if (hook) {
        hook(QStringLiteral("open"), target);
        PostAnswer([answer = std::move(answer)] { answer(0); });
        return;
    }
    std::thread([wide = target.toStdWString(), answer = std::move(answer)]() mutable {
        const DWORD error = Execute(wide);
        PostAnswer([answer = std::move(answer), error] { answer(error); });
    }).detach();
}

QString NativeAbsolute(const QString& file) {
    return QDir::toNativeSeparators(QFileInfo(file).absoluteFilePath());
}

} // namespace

void SetShellHookForTests(ShellHook onOpen) {
    hook = std::move(onOpen);
}

bool ShellOpen(const QString& target) {
    // Without a working directory Qt reads "Base/Help.chm" as the web host "base".
    const QUrl url = QUrl::fromUserInput(target, QDir::currentPath(), QUrl::AssumeLocalFile);
    const QString shellTarget =
        url.isLocalFile() ? NativeAbsolute(target) : url.toString(QUrl::FullyEncoded);
    // A web address's failure is not reported: the link shows what it would open.
    ExecuteLater(shellTarget, [](DWORD) {});
    return true;
}

void ShellOpenFile(const QString& file, ShellOpenDone done, const OpenerTexts& texts) {
    const QString path = NativeAbsolute(file);
    ExecuteLater(path, [path, done = std::move(done), texts](DWORD error) {
        if (error == 0) {
            done({});
        } else if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
            done(texts.missing.arg(path));
        } else {
            // One pass, so a "%2" in the file's name stays as it is.
            done(texts.shellFailed.arg(path, SystemReason(error)));
        }
    });
}

// The shell's association is the system's own answer: the compiled help is what Windows opens.
void ShellOpenHelp(const QString& compiled, const QString&, ShellOpenDone done,
                   const OpenerTexts& texts) {
    ShellOpenFile(compiled, std::move(done), texts);
}

} // namespace tovrin
