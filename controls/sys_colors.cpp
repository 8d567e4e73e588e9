#include "controls/sys_colors.h"

#include "platform/sys_colors.h"

#include <QEvent>
#include <QGuiApplication>
#include <QObject>

namespace tovrin {

CSysColors sysColors{CSysColors::Unread{}};

namespace {
bool sysColorsRead = false;

// Reads the table again when the palette changes: the application hears of it before its windows.
class PaletteWatch : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == QCoreApplication::instance() &&
            event->type() == QEvent::ApplicationPaletteChange) {
            sysColors.Read();
        }
        return false;
    }
};
} // namespace

CSysColors::CSysColors() {
    Read();
}

void CSysColors::Read() {
    face = GetSysColor(COLOR_BTNFACE);
    shadow = GetSysColor(COLOR_BTNSHADOW);
    darkShadow = GetSysColor(COLOR_3DDKSHADOW);
    lightEdge = GetSysColor(COLOR_BTNHIGHLIGHT);
    buttonText = GetSysColor(COLOR_BTNTEXT);
    grayText = GetSysColor(COLOR_GRAYTEXT);
    highlight = GetSysColor(COLOR_HIGHLIGHT);
    highlightText = GetSysColor(COLOR_HIGHLIGHTTEXT);
    menu = GetSysColor(COLOR_MENU);
    menuText = GetSysColor(COLOR_MENUTEXT);
    window = GetSysColor(COLOR_WINDOW);
    windowFrame = GetSysColor(COLOR_WINDOWFRAME);
    windowText = GetSysColor(COLOR_WINDOWTEXT);
    activeCaption = GetSysColor(COLOR_ACTIVECAPTION);
    inactiveCaption = GetSysColor(COLOR_INACTIVECAPTION);
    captionText = GetSysColor(COLOR_CAPTIONTEXT);
    inactiveCaptionText = GetSysColor(COLOR_INACTIVECAPTIONTEXT);
    hotFill = BlendColor(window, highlight, 80);
    contrast = ContrastWanted();
}

const CSysColors& InitSysColors() {
    if (!sysColorsRead) {
        sysColors.Read();
        // Colours read before the application exists are stand-ins; read again once it does.
        QCoreApplication* app = QGuiApplication::instance();
        sysColorsRead = app != nullptr;
        if (app != nullptr) {
            app->installEventFilter(new PaletteWatch(app));
        }
    }
    return sysColors;
}

} // namespace tovrin
