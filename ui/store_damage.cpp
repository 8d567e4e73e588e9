#include "ui/store_damage.h"

#include "core/lang/lang_keys.h"
#include "core/store/paths.h"
#include "platform/lang_texts.h"
#include "platform/message_box.h"

#include <QCoreApplication>
#include <QTimer>

#include <optional>

namespace tovrin {

QString DamagedStoreText(const ReadReport& report) {
    const QString store = QString::fromLatin1(kStorePath);
    if (report.tooLarge) {
        return AddedText(kLangErrors, kErrorsStoreTooLarge,
                         QStringLiteral(
                             "%1 is damaged: it would hold %2 reminders, more than the %3 a list "
                             "can have. It is left as it is: no reminder from it is "
                             "shown and the editor does not open it. Put a backup in "
                             "its place, or move it away."))
            .arg(store, QString::number(report.heldRecords), QString::number(kMostStoredRecords));
    }
    if (report.outOfMemory) {
        return AddedText(kLangErrors, kErrorsStoreNoMemory,
                         QStringLiteral(
                             "There is not enough memory to read %1 (%2 bytes). It is left as it "
                             "is: no reminder from it is shown and the editor does not "
                             "open it."))
            .arg(store, QString::number(report.fileSize));
    }
    return {};
}

void ReportDamagedStore(const ReadReport& report) {
    // The file as it was read: the same damaged file met again by another window, or on another
    // day, is not news; a new one is.
    static std::optional<FileStamp> reported;
    if (!report.Refused() || reported == report.stamp) {
        return;
    }
    reported = report.stamp;
    const QString text = DamagedStoreText(report);
    const QString caption = LoadSectionTexts(kLangEditor, {4})[4];
    // Start-up goes on to the tray icon and the timer; the box waits for the event loop.
    QTimer::singleShot(0, QCoreApplication::instance(), [text, caption] {
        MessageBox(nullptr, text, caption, MB_OK | MB_ICONERROR);
    });
}

} // namespace tovrin
