#include "platform/resources.h"

#include "res/resource.h"

#include <QAction>
#include <QFile>
#include <QMenu>
#include <QVariant>
#include <QWidget>

#include <algorithm>
#include <array>
#include <initializer_list>
#include <map>

namespace tovrin {
namespace {

struct IconEntry {
    int id;
    int file;    // the id whose pictures it uses (the journal window reuses the program's)
    int natural; // the size it shows at when nobody asks for one
    std::initializer_list<int> sizes;
};

// Icons shown both in a caption bar and elsewhere come at 16 first: a bar is 26 pixels high.
const std::array<IconEntry, 12> kIcons = {{
    {IDI_APP, IDI_APP, 32, {16, 22, 24, 32, 48, 64}},
    {IDI_NEW_RECORD, IDI_NEW_RECORD, 16, {16, 32}},
    {IDI_CHANGE_RECORD, IDI_CHANGE_RECORD, 16, {16, 32}},
    {IDI_BAR_TOP, IDI_BAR_TOP, 16, {16}},
    {IDI_BAR_BOTTOM, IDI_BAR_BOTTOM, 16, {16}},
    {IDI_SETTINGS, IDI_SETTINGS, 16, {16, 32}},
    {IDI_HELP, IDI_HELP, 32, {16, 32}},
    {IDI_ABOUT, IDI_ABOUT, 16, {16, 32}},
    {IDI_DELETE, IDI_DELETE, 32, {16, 32}},
    {IDI_ARROW_DOWN, IDI_ARROW_DOWN, 16, {16}},
    {IDI_ARROW_UP, IDI_ARROW_UP, 16, {16}},
    {IDI_JOURNAL, IDI_APP, 32, {16, 22, 24, 32, 48, 64}},
}};

const IconEntry* FindIcon(int id) {
    const auto it =
        std::find_if(kIcons.begin(), kIcons.end(), [id](const IconEntry& e) { return e.id == id; });
    return it == kIcons.end() ? nullptr : &*it;
}

QString IconPath(int file, int size) {
    return QStringLiteral(":/tovrin/images/icon_%1_%2.png").arg(file).arg(size);
}

bool IsBitmap(int id) {
    return id == IDB_CLOCKS || (id >= IDB_MENU_JOURNAL && id <= IDB_MENU_EXIT);
}

// The finger tip of the pointing hand, where the click lands.
constexpr int kHandHotX = 5;
constexpr int kHandHotY = 0;

const MenuTemplate kJournalMenu{{
    {ID_CLEAR_ALL, QStringLiteral("Очистить все"), false, {}},
}};

const MenuTemplate kTrayMenu{{
    {0,
     QStringLiteral("Tray"),
     false,
     {
         {ID_JOURNAL, QStringLiteral("Журнал"), false, {}},
         {0, QString(), true, {}},
         {ID_EDITOR, QStringLiteral("Редактор"), false, {}},
         {ID_CURRENT_MESSAGES, QStringLiteral("Текущие сообщения"), false, {}},
         {0, QString(), true, {}},
         {ID_EXIT, QStringLiteral("Выход"), false, {}},
     }},
}};

constexpr const char* kCommandProperty = "tovrinCommandId";

} // namespace

QIcon LoadIconResource(int id) {
    // One icon per resource for the whole run. Qt keeps every drawing it hands out of an icon in
    // its pixmap cache under that icon's own key, so an icon decoded afresh for each window that
    // opens would fill the cache with copies of the same pictures, ten megabytes of them.
    static std::map<int, QIcon> loaded;
    if (const auto it = loaded.find(id); it != loaded.end()) {
        return it->second;
    }
    const IconEntry* entry = FindIcon(id);
    if (entry == nullptr) {
        return {};
    }
    QIcon icon;
    for (int size : entry->sizes) {
        icon.addFile(IconPath(entry->file, size), QSize(size, size));
    }
    loaded.emplace(id, icon);
    return icon;
}

int IconNaturalSize(int id) {
    const IconEntry* entry = FindIcon(id);
    return entry == nullptr ? 0 : entry->natural;
}

QPixmap LoadIconPixmap(int id, int size) {
    const IconEntry* entry = FindIcon(id);
    if (entry == nullptr || size < 0) {
        return {};
    }
    if (size == 0) {
        size = entry->natural;
    }
    // The exact drawing if there is one, else the smallest larger one, else the largest.
    int larger = 0;
    int largest = 0;
    for (int s : entry->sizes) {
        if (s == size) {
            return QPixmap(IconPath(entry->file, s));
        }
        if (s > size && (larger == 0 || s < larger)) {
            larger = s;
        }
        largest = std::max(largest, s);
    }
    const int best = larger != 0 ? larger : largest;
    const QPixmap source(IconPath(entry->file, best));
    if (source.isNull()) {
        return {};
    }
    return source.scaled(size, size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QPixmap LoadBitmapResource(int id) {
    if (!IsBitmap(id)) {
        return {};
    }
    return QPixmap(QStringLiteral(":/tovrin/images/bitmap_%1.png").arg(id));
}

QCursor LoadCursorResource(int id) {
    if (id != IDC_HAND) {
        return QCursor(Qt::ArrowCursor);
    }
    const QPixmap hand(QStringLiteral(":/tovrin/images/cursor_%1.png").arg(id));
    if (hand.isNull()) {
        return QCursor(Qt::PointingHandCursor);
    }
    return QCursor(hand, kHandHotX, kHandHotY);
}

QString LoadStringResource(int id) {
    if (id == IDS_WEB_ADDRESS) {
        return QStringLiteral("https://tovrin.org/");
    }
    return {};
}

const MenuTemplate* LoadMenuResource(int id) {
    switch (id) {
    case IDR_JOURNAL_MENU:
        return &kJournalMenu;
    case IDR_TRAY_MENU:
        return &kTrayMenu;
    default:
        return nullptr;
    }
}

void AppendMenuItems(QWidget& menu, const std::vector<MenuItemTemplate>& items) {
    for (const MenuItemTemplate& item : items) {
        if (!item.popup.empty()) {
            auto* sub = new QMenu(item.text, &menu);
            AppendMenuItems(*sub, item.popup);
            menu.addAction(sub->menuAction());
            continue;
        }
        auto* action = new QAction(item.text, &menu);
        if (item.separator) {
            action->setSeparator(true);
        } else {
            action->setProperty(kCommandProperty, item.id);
        }
        menu.addAction(action);
    }
}

int MenuCommandId(const QAction* action) {
    if (action == nullptr) {
        return 0;
    }
    const QVariant id = action->property(kCommandProperty);
    return id.isValid() ? id.toInt() : 0;
}

bool SetMenuItemText(QWidget& menu, int position, const QString& text) {
    const QList<QAction*> actions = menu.actions();
    if (position < 0 || position >= actions.size()) {
        return false;
    }
    actions[position]->setText(text);
    return true;
}

} // namespace tovrin
