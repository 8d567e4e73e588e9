#include "platform/system_metrics.h"

#include <QGuiApplication>
#include <QScreen>

namespace tovrin {

int GetSystemMetrics(int index) {
    switch (index) {
    case SM_CXICON:
    case SM_CYICON:
        return 32;
    case SM_CXSMICON:
    case SM_CYSMICON:
        return 16;
    case SM_CXSCREEN:
    case SM_CYSCREEN: {
        const QScreen* screen = QGuiApplication::primaryScreen();
        if (screen == nullptr) {
            return 0;
        }
        const QRect r = screen->geometry();
        return index == SM_CXSCREEN ? r.width() : r.height();
    }
    default:
        return 0;
    }
}

} // namespace tovrin
