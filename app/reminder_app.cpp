#include "app/reminder_app.h"

#include "app/quit_signals.h"
#include "core/lang/lang_file.h"
#include "core/lang/lang_keys.h"
#include "core/store/atomic_file.h"
#include "core/store/paths.h"
#include "core/store/settings.h"
#include "platform/lang_texts.h"
#include "platform/message_box.h"
#include "platform/text.h"
#include "res/resource.h"
#include "ui/editor_dlg.h"
#include "ui/manager_dlg.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QSessionManager>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace tovrin {

CReminderApp::CReminderApp() {
    notifyDays = 0;
    confirmDelete = 1;
}

CReminderApp::~CReminderApp() = default;

bool CReminderApp::InitInstance() {
    instance_.emplace(SingleInstance::Join());
    if (instance_->AnotherRunning()) {
        // The other copy is left alone, and so is every file.
        ShowAlreadyRunning();
        return false;
    }
    if (instance_->GetState() == SingleInstance::State::Unchecked) {
        std::fprintf(stderr, "tovrin: cannot tell whether another copy runs (%s); starting\n",
                     instance_->Problem().c_str());
        // A second copy could now start beside this one, and two editors would overwrite each
        // other's reminders: the user has to know, not only a terminal nobody reads.
        AfxMessageBox(AddedText(kLangErrors, kErrorsMarkerUnchecked,
                                QStringLiteral("Tovrin cannot tell whether another copy of it is "
                                               "already running (%1). It starts anyway: do not "
                                               "start it a second time."))
                          .arg(QString::fromStdString(instance_->Problem())));
    }
    // A save killed before its rename left its copy of the file; nobody will finish it now.
    RemoveStaleTemporaries(kStorePath);
    RemoveStaleTemporaries(kSettingsPath);
    // Read now: by the time the session ends the folder may be gone with the language file.
    logoutCancelled_ = AddedText(
        kLangErrors, kErrorsLogoutCancelled,
        QStringLiteral("The editor's changes could not be saved, so Tovrin asked to cancel the "
                       "logout. Close the editor to save or discard them, then log out again."));
    LoadSettings();
    mainWnd_ = std::make_unique<CManagerDlg>();
    if (!mainWnd_->Create()) {
        std::fprintf(stderr, "tovrin: the main window could not be made\n");
        return false;
    }
    quitSignals_ = std::make_unique<QuitSignals>([this](int) { OnQuitSignal(); });
    // The session asks for the editor's changes before a logout, which the user may still
    // cancel: save them and run on. The program ends when the session really does (its end quits
    // the event loop, like a signal).
    if (auto* gui = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        QObject::connect(gui, &QGuiApplication::commitDataRequest, mainWnd_.get(),
                         [this](QSessionManager& manager) {
                             QString problem;
                             if (CommitData(problem)) {
                                 return;
                             }
                             // Better a cancelled logout than lost reminders.
                             if (manager.allowsErrorInteraction()) {
                                 MessageBox(nullptr, LogoutCancelledText(problem),
                                            QStringLiteral("Tovrin"), MB_OK | MB_ICONERROR);
                                 manager.release();
                             }
                             manager.cancel();
                         });
    }
    return true;
}

bool CReminderApp::CommitData(QString& problem) {
    CEditorDlg* editor = mainWnd_ ? mainWnd_->Editor() : nullptr;
    return editor == nullptr || editor->SaveKeepingOpen(problem);
}

QString CReminderApp::LogoutCancelledText(const QString& problem) const {
    return problem + QStringLiteral("\n\n") + logoutCancelled_;
}

void CReminderApp::ShowAlreadyRunning() {
    CLangFile lang(WindowLangFeedback());
    lang.Open(kLangPath);
    std::string text;
    std::string caption;
    lang.Section(kLangErrors);
    if (!lang.Get(1, text)) {
        LangLookupFailed(WindowLangFeedback());
    }
    lang.Section(kLangEditor);
    if (!lang.Get(4, caption)) {
        LangLookupFailed(WindowLangFeedback());
    }
    lang.Close();
    MessageBox(nullptr, FromCp1251(text), FromCp1251(caption), MB_OK | MB_ICONWARNING);
}

void CReminderApp::OnQuitSignal() {
    // Ending the event loop, not exiting here: a box may be open inside a window's handler, and
    // it must return before that window goes. Run() then closes the editor, saving.
    PostQuitMessage(0);
}

int CReminderApp::Run() {
    int code = 0;
    do {
        code = QCoreApplication::exec();
    } while (mainWnd_ && !mainWnd_->PrepareToLeave());
    return code;
}

int CReminderApp::Main() {
    if (!InitInstance()) {
        return 0;
    }
    ReportReadyWhenRunning();
    return Run();
}

void CReminderApp::ReportReadyWhenRunning() {
    const char* value = std::getenv("TOVRIN_READY_FD");
    if (value == nullptr || *value == '\0') {
        return;
    }
    char* end = nullptr;
    const long fd = std::strtol(value, &end, 10);
    if (*end != '\0' || fd < 3 || fd > 1023) {
        return;
    }
    // A zero-delay timer fires only once the loop is taking events.
    QTimer::singleShot(0, [fd] {
        const char line[] = "ready\n";
        [[maybe_unused]] const ssize_t n = ::write(static_cast<int>(fd), line, sizeof line - 1);
        ::close(static_cast<int>(fd));
    });
}

} // namespace tovrin
