#pragma once

#include "os/single_instance.h"

#include <QString>

#include <memory>
#include <optional>

namespace tovrin {

class CManagerDlg;
class QuitSignals;

// The program: one copy per program file and user, living in the tray behind its hidden main
// window until the user chooses Exit. Made after the QApplication, since windows need one.
class CReminderApp {
public:
    // The two settings take their start values before anything reads the settings file.
    CReminderApp();
    ~CReminderApp();
    CReminderApp(const CReminderApp&) = delete;
    CReminderApp& operator=(const CReminderApp&) = delete;

    // A second copy warns and says no; the first reads the settings and makes the main window.
    // True lets the event loop run.
    bool InitInstance();
    // The event loop, until the program may end: a request to quit made while the editor is open
    // first closes the editor, saving; if the user keeps it open instead, the loop goes on.
    int Run();
    // InitInstance, then Run when it allows: what main() does. The command line plays no part.
    int Main();

    CManagerDlg* MainWnd() const { return mainWnd_.get(); }

    // The session is about to end and asks for unsaved work: the open editor's changes are
    // written, the editor stays open and the program runs on (the user may cancel the logout).
    // False, with the reason, when they could not be written.
    bool CommitData(QString& problem);
    // What the user is told when that failed and the logout was refused.
    QString LogoutCancelledText(const QString& problem) const;

    // Told once the event loop runs, through the file descriptor named by TOVRIN_READY_FD (unset:
    // nothing is told). Start-up measurements wait for it.
    static void ReportReadyWhenRunning();

private:
    void ShowAlreadyRunning();
    void OnQuitSignal();

    std::optional<SingleInstance> instance_;
    std::unique_ptr<CManagerDlg> mainWnd_;
    std::unique_ptr<QuitSignals> quitSignals_;
    QString logoutCancelled_;
};

} // namespace tovrin
