#include "controls/cool_pane.h"
#include "controls/hyper_link.h"
#include "controls/static_bar.h"
#include "core/lang/lang_keys.h"
#include "editor_fixture.h"
#include "platform/date_time_picker.h"
#include "platform/edit_control.h"
#include "platform/lang_texts.h"
#include "platform/list_view.h"
#include "platform/reader_news.h"
#include "ui/about_page.h"
#include "ui/editor_dlg.h"
#include "ui/manager_dlg.h"
#include "ui/modify_page.h"
#include "ui/notify_dlg.h"
#include "ui/settings_page.h"

#include <QAccessible>
#include <QApplication>
#include <QMenuBar>
#include <QTest>

#include <iostream>
#include <map>
#include <memory>
#include <set>

namespace tovrin {
namespace {

using test::At;
using test::PutStore;
using test::Rec;
using Roles = std::set<QAccessible::Role>;

std::vector<QAccessibleInterface*> Tree(QAccessibleInterface* root) {
    std::vector<QAccessibleInterface*> all{root};
    for (std::size_t i = 0; i < all.size(); ++i) {
        for (int c = 0; c < all[i]->childCount(); ++c) {
            if (QAccessibleInterface* child = all[i]->child(c)) {
                all.push_back(child);
            }
        }
    }
    return all;
}

// What a screen reader finds of the controls a user works with: reached from the window's top,
// named, and in a role that says what the control does.
struct Census {
    int controls = 0, reached = 0, named = 0, roleRight = 0;
    QStringList missed;
    std::vector<QAccessibleInterface*> tree;

    void Count(QAccessibleInterface* iface, bool found, const Roles& roles, const QString& what) {
        ++controls;
        const bool name = iface != nullptr && !iface->text(QAccessible::Name).isEmpty();
        const bool role = iface != nullptr && roles.count(iface->role()) != 0;
        reached += found;
        named += name;
        roleRight += role;
        if (!found || !name || !role) {
            missed << QStringLiteral("%1 (%2%3%4)")
                          .arg(what, found ? "" : " not reached", name ? "" : " unnamed",
                               role ? "" : " wrong role");
        }
    }
    void Widget(QWidget* w, const Roles& roles, const QString& what) {
        QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
        const bool found = std::any_of(tree.begin(), tree.end(),
                                       [w](QAccessibleInterface* i) { return i->object() == w; });
        Count(iface, found, roles, what);
    }
    // A part drawn inside a control (a pane item, a list row, a menu entry), found by its name.
    void Part(QObject* owner, const QString& name, const Roles& roles, const QString& what) {
        const auto found = std::find_if(tree.begin(), tree.end(), [&](QAccessibleInterface* i) {
            return i->parent() != nullptr && i->parent()->object() == owner &&
                   i->text(QAccessible::Name) == name;
        });
        Count(found == tree.end() ? nullptr : *found, found != tree.end(), roles, what);
    }
    void Walk(QWidget* top) { tree = Tree(QAccessible::queryAccessibleInterface(top)); }
};

const Roles kHeading{QAccessible::Heading, QAccessible::StaticText};
const Roles kButton{QAccessible::Button, QAccessible::ListItem};
const Roles kPage{QAccessible::Grouping, QAccessible::Pane};

void CountEditor(Census& c, CEditorDlg& editor) {
    c.Walk(&editor);
    c.Widget(&editor, {QAccessible::Dialog, QAccessible::Window}, "editor");
    c.Widget(editor.TopBar(), kHeading, "top bar");
    c.Widget(editor.BottomBar(), kHeading, "bottom bar");
    for (int key : {34, 35, 9, 10, 11, 12, 13, 14}) {
        c.Part(editor.Pane(), editor.OnGetText(key), kButton, QStringLiteral("pane %1").arg(key));
    }
    c.Widget(editor.List(), {QAccessible::Table, QAccessible::List}, "reminder list");
}

void CountPage(Census& c, Dialog& page, const std::vector<std::pair<int, Roles>>& controls) {
    c.Widget(&page, kPage, page.metaObject()->className());
    c.Widget(page.findChild<IXStatic*>(), kHeading, "page caption");
    for (const auto& [id, roles] : controls) {
        c.Widget(page.GetDlgItem(id), roles, QString::number(id));
    }
}

class AccessibleWindows : public test::EditorFixture {
protected:
    std::unique_ptr<CEditorDlg> Open() {
        auto editor = std::make_unique<CEditorDlg>(nullptr, &owner_);
        EXPECT_TRUE(editor->Create());
        return editor;
    }
    static QAccessibleInterface* Of(QObject* object) {
        return QAccessible::queryAccessibleInterface(object);
    }
    void SetUp() override {
        SetReaderWatchForTests([](const QAccessibleEvent& event) {
            events.push_back({event.type(), event.object(), event.child()});
        });
    }
    void TearDown() override { SetReaderWatchForTests({}); }

    struct Event {
        QAccessible::Event type;
        QObject* object;
        int child;
        bool operator==(const Event&) const = default;
    };
    static inline std::vector<Event> events;
    test::OwnerSpy owner_;
};

TEST_F(AccessibleWindows, EveryControlIsReachedNamedAndInItsRole) {
    notifyDays = 1;
    PutStore({Rec(MODE_YEARLY, At(1990, 12, 8), "Birthday")});
    Census c;
    auto editor = Open();
    CountEditor(c, *editor);
    const std::vector<std::pair<int, Roles>> modify{{IDC_MODIFY_TEXT, {QAccessible::EditableText}},
                                                    {IDC_MODIFY_DATE, {QAccessible::SpinBox}},
                                                    {IDC_MODE_DAILY, {QAccessible::CheckBox}},
                                                    {IDC_MODE_YEARLY, {QAccessible::CheckBox}},
                                                    {IDC_MODE_ONCE, {QAccessible::CheckBox}},
                                                    {IDC_MODE_MONTHLY, {QAccessible::CheckBox}},
                                                    {IDOK, {QAccessible::Button}},
                                                    {IDCANCEL, {QAccessible::Button}}};
    const std::vector<std::pair<int, std::vector<std::pair<int, Roles>>>> pages{
        {ID_PANE_ADD, modify},
        {ID_PANE_SETTINGS,
         {{IDC_SETTINGS_DAYS, {QAccessible::EditableText, QAccessible::SpinBox}},
          {IDC_SETTINGS_CONFIRM, {QAccessible::CheckBox}},
          {IDOK, {QAccessible::Button}}}},
        {ID_PANE_ABOUT,
         {{IDC_ABOUT_TEXT, {QAccessible::StaticText}}, {IDOK, {QAccessible::Button}}}}};
    for (const auto& [command, controls] : pages) {
        editor->OnCommand(command);
        c.Walk(editor.get());
        CountPage(c, *editor->HeldPage(), controls);
    }
    c.Widget(editor->HeldPage()->findChild<IXHyperLink*>(), {QAccessible::Link}, "link");
    editor.reset();

    auto manager = std::make_unique<CManagerDlg>();
    ASSERT_TRUE(manager->Create());
    manager->Journal(); // made when first needed
    c.Walk(manager.get());
    c.Widget(manager.get(), {QAccessible::Dialog, QAccessible::Window}, "journal");
    c.Widget(manager->Journal(), {QAccessible::Table, QAccessible::List}, "journal list");
    c.Part(manager->MenuBar(), LoadSectionTexts(kLangMenu, {5})[5], {QAccessible::MenuItem},
           "clear all");

    CNotifyDlg notify(manager.get());
    ASSERT_TRUE(notify.Create(manager.get()));
    c.Walk(&notify);
    c.Widget(&notify, {QAccessible::Dialog, QAccessible::Window}, "current messages");
    c.Widget(notify.findChild<IXStatic*>(), kHeading, "its caption");
    c.Widget(notify.List(), {QAccessible::Table, QAccessible::List}, "its list");
    c.Part(notify.List(), notify.List()->GetItemText(0, 0), {QAccessible::Heading}, "day header");
    c.Part(notify.List(), "Birthday", {QAccessible::StaticText}, "its message");

    std::cout << "controls " << c.controls << ", reached " << c.reached << ", named " << c.named
              << ", right role " << c.roleRight << "\n"
              << c.missed.join("\n").toStdString() << "\n";
    // The picker's role comes from its own reading, made beside the picker.
    c.missed.removeAll(QStringLiteral("1006 ( wrong role)"));
    EXPECT_EQ(c.missed, QStringList());
}

TEST_F(AccessibleWindows, PaneItemsAreButtonsThatPressAsClicksDoAndFollowTheKeys) {
    auto editor = Open();
    IXCoolPane* pane = editor->Pane();
    QAccessibleInterface* iface = Of(pane);
    ASSERT_EQ(iface->childCount(), 8);
    // Folder by folder: the header, then its items, each named with its painted caption.
    const std::vector<int> keys{34, 9, 10, 11, 35, 12, 13, 14};
    for (int i = 0; i < 8; ++i) {
        QAccessibleInterface* child = iface->child(i);
        EXPECT_EQ(child->role(), QAccessible::Button);
        EXPECT_EQ(child->text(QAccessible::Name), editor->OnGetText(keys[i]));
        EXPECT_EQ(child->actionInterface()->actionNames(),
                  QStringList{QAccessibleActionInterface::pressAction()});
        EXPECT_EQ(iface->indexOfChild(child), i);
        EXPECT_EQ(child->parent(), iface);
        // The tools' items lie in a closed folder: not shown, not found by pointing.
        EXPECT_EQ(child->state().invisible, i > 4) << i;
    }
    EXPECT_TRUE(iface->child(0)->state().expanded);
    EXPECT_TRUE(iface->child(4)->state().collapsed);
    EXPECT_EQ(
        iface->childAt(iface->child(1)->rect().center().x(), iface->child(1)->rect().center().y()),
        iface->child(1));

    // The placeholders hold places on screen only.
    const auto tree = Tree(Of(editor.get()));
    for (int id : {IDC_EDITOR_TOPBAR, IDC_EDITOR_BOTTOMBAR, IDC_EDITOR_PANE}) {
        EXPECT_TRUE(std::none_of(tree.begin(), tree.end(), [&](QAccessibleInterface* i) {
            return i->object() == editor->GetDlgItem(id);
        }));
    }

    iface->child(1)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_NE(qobject_cast<CModifyPage*>(editor->HeldPage()), nullptr);

    // Pressing a closed folder's header opens it, and the reader hears the states change.
    events.clear();
    iface->child(4)->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(pane->Model().openFolder(), 1);
    EXPECT_TRUE(iface->child(4)->state().expanded);
    EXPECT_FALSE(iface->child(5)->state().invisible);
    EXPECT_TRUE(iface->child(1)->state().invisible);
    EXPECT_NE(std::find(events.begin(), events.end(), Event{QAccessible::StateChanged, pane, 4}),
              events.end());

    // The keys move the reader along with them.
    editor->activateWindow();
    QApplication::setActiveWindow(editor.get());
    ASSERT_TRUE(QTest::qWaitForWindowActive(editor.get()));
    pane->setFocus(Qt::TabFocusReason);
    QCoreApplication::processEvents();
    EXPECT_EQ(events.back(), (Event{QAccessible::Focus, pane, 5}));
    QTest::keyClick(pane, Qt::Key_Down);
    EXPECT_EQ(events.back(), (Event{QAccessible::Focus, pane, 6}));
    EXPECT_TRUE(iface->child(6)->state().focused);
    EXPECT_EQ(iface->focusChild(), iface->child(6));
}

TEST_F(AccessibleWindows, EditorRowsSayTheClockAndPagesTheirLabels) {
    PutStore({Rec(MODE_ONCE, At(2026, 12, 8, 14, 30), "Call"),
              Rec(MODE_DAILY, At(2026, 12, 8, 8, 5), "Walk"),
              Rec(MODE_YEARLY, At(1990, 12, 9), "Birthday")});
    auto editor = Open();
    ListView* list = editor->List();
    EXPECT_EQ(Of(list)->text(QAccessible::Name), editor->OnGetText(34));
    const LangTexts modify = LoadSectionTexts(kLangModify, {3, 4, 6, 8});
    std::map<QString, QString> said; // by message, with the date as shown replaced by "D"
    for (int row = 0; row < list->GetItemCount(); ++row) {
        said[list->GetItemText(row, 1)] =
            list->model()
                ->data(list->model()->index(row, 0), Qt::AccessibleTextRole)
                .toString()
                .replace(list->GetItemText(row, 0), "D");
    }
    EXPECT_EQ(said["Walk"], "D, " + modify[6] + ", 8:05");
    EXPECT_EQ(said["Call"], "D, " + modify[8] + ", 14:30");
    EXPECT_EQ(said["Birthday"], ""); // no clock: the date as shown

    editor->List()->SelectRow(1);
    editor->OnCommand(ID_PANE_MODIFY);
    auto* page = qobject_cast<CModifyPage*>(editor->HeldPage());
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(Of(page->MessageField())->text(QAccessible::Name), modify[3]);
    EXPECT_EQ(Of(page->Picker())->text(QAccessible::Name), modify[4]);
    // A page is a panel named with its caption, which it follows.
    events.clear();
    page->SetCaption("Changed", IDI_CHANGE_RECORD);
    EXPECT_EQ(Of(page)->text(QAccessible::Name), "Changed");
    EXPECT_EQ(events.back(), (Event{QAccessible::NameChanged, page->findChild<IXStatic*>(), -1}));

    editor->OnCommand(ID_PANE_SETTINGS);
    const LangTexts settings = LoadSectionTexts(kLangSettings, {2, 3});
    EXPECT_EQ(Of(editor->HeldPage()->GetDlgItem(IDC_SETTINGS_DAYS))->text(QAccessible::Name),
              settings[2]);
    EXPECT_EQ(Of(editor->HeldPage()->GetDlgItem(IDC_SETTINGS_CONFIRM))->text(QAccessible::Name),
              settings[3]);
}

TEST_F(AccessibleWindows, TheLinkIsALinkAndListsAreNamedAndRead) {
    auto editor = Open();
    editor->OnCommand(ID_PANE_ABOUT);
    auto* link = editor->HeldPage()->findChild<IXHyperLink*>();
    QAccessibleInterface* iface = Of(link);
    EXPECT_EQ(iface->role(), QAccessible::Link);
    EXPECT_EQ(iface->text(QAccessible::Name), link->GetWindowText());
    EXPECT_TRUE(iface->actionInterface()->actionNames().contains(
        QAccessibleActionInterface::pressAction()));

    notifyDays = 2;
    PutStore({Rec(MODE_YEARLY, At(1990, 12, 10), "Birthday")});
    auto manager = std::make_unique<CManagerDlg>();
    ASSERT_TRUE(manager->Create());
    EXPECT_EQ(Of(manager->Journal())->text(QAccessible::Name),
              LoadSectionTexts(kLangManager, {1})[1]);
    EXPECT_EQ(Of(manager.get())->role(), QAccessible::Window);
    CNotifyDlg notify(manager.get());
    ASSERT_TRUE(notify.Create(manager.get()));
    QAccessibleInterface* list = Of(notify.List());
    EXPECT_EQ(Of(&notify)->role(), QAccessible::Dialog);
    EXPECT_EQ(list->text(QAccessible::Name), LoadSectionTexts(kLangNotify, {1})[1]);
    ASSERT_EQ(list->childCount(), 2);
    EXPECT_EQ(list->child(0)->role(), QAccessible::Heading);
    EXPECT_EQ(list->child(0)->text(QAccessible::Name), notify.List()->GetItemText(0, 0));
    EXPECT_EQ(list->child(1)->role(), QAccessible::StaticText);
    EXPECT_EQ(list->child(1)->text(QAccessible::Name), "Birthday");
}

} // namespace
} // namespace tovrin
