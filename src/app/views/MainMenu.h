#pragma once

#include <QEvent>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <functional>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;

// The menu bar of every window and the menu of the tray icon. One set of
// actions and menus serves them all, so a title or an enabled state changed
// once shows everywhere.
//
// Items of the application (About, Settings, the floating-menu toggle, the
// tools, Help, the web site) call the slot of their name on the delegate.
// Items without a target travel along the ResponderChain by their action
// name (the slot name, e.g. "copy", "toggleBullets", "performClose") and are
// disabled while nothing in the chain handles them. Every name an item sends
// is a constant of MenuActions.
class MainMenu : public QObject {
    Q_OBJECT
public:
    // The shared menus, made the first time they are asked for (the first
    // window with a menu bar, or the status item), not at start.
    static MainMenu& shared();
    // Runs `configure` on the shared menus as they are made, or at once when
    // they already are. It receives them: it must not ask shared().
    static void whenMade(std::function<void(MainMenu&)> configure);

    // The object that receives the application items: the application
    // delegate, set before any menu is built.
    void setDelegate(QObject* delegate);
    QObject* delegate() const { return m_delegate; }

    // What "Export My Data…" does (the same from every menu).
    void setExportAction(std::function<void()> exportData) { m_export = std::move(exportData); }

    // A new menu bar over the shared menus, for `window`'s layout.
    QMenuBar* build(QWidget* window = nullptr);
    // The tray icon's menu (made on first call, then the same one).
    QMenu* statusMenu();
    // The shared tool items: the twelve tools, a separator, the "Games"
    // heading and the two games.
    void toolItems(QMenu* into);

    // The Show/Hide Floating Menu titles of the app and status menus follow
    // whether the floating menu is showing (the delegate connects this).
    void setFloatingMenuShowing(bool showing);

    // The title of the website item of the Help, status and floating menus.
    static QString websiteTitle();

    QAction* appToggleItem() const { return m_appToggle; }
    QAction* statusToggleItem() const { return m_statusToggle; }
    // The menus of the menu bar, in order.
    QList<QMenu*> menus() const { return m_menus; }

    // Gives the active window, when it is one of ours without a menu bar (a
    // sticky note), the application's own key equivalents, making the menus
    // if they are not made yet. Runs whenever another window becomes active.
    static void lendShortcutsToActiveWindow();

    // Updates the enabled state of every item that goes along the responder
    // chain. Runs before any shared menu opens, and once after focus
    // changes (when control returns to the event loop).
    void revalidate();

    // The action name an item sends (empty for a heading or a submenu), its
    // tag, and its title as shown (without the escaping of "&").
    static QString actionName(const QAction* item);
    static int tag(const QAction* item);
    static QString title(const QAction* item);

protected:
    void customEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    MainMenu();
    void makeMenus();
    // revalidate() when control returns to the event loop, once however
    // often this is called before then.
    void revalidateSoon();
    static QEvent::Type revalidateEvent();
    // `action` is one of the MenuActions constants.
    QAction* item(QMenu* menu, const QString& title, const char* action, const QString& keys, int target,
                  int tag = 0);
    void fillWindowList(QMenu* windowMenu);
    static QString shownTitle(const QWidget* window);

    QPointer<QObject> m_delegate;
    std::function<void()> m_export;
    QList<QMenu*> m_menus;
    QList<QAction*> m_chainItems;
    // The action name of each of m_chainItems, and the property of its
    // handler that puts a check mark on it (or null).
    QStringList m_chainNames;
    QList<const char*> m_chainStates;
    QList<QAction*> m_toolActions;
    // The items whose keys work in windows without a menu bar too.
    QList<QAction*> m_lent;
    QAction* m_gamesHeading = nullptr;
    QPointer<QAction> m_appToggle;
    QPointer<QAction> m_statusToggle;
    bool m_floatingMenuShowing = false;
    bool m_revalidatePending = false;
    QMenu* m_status = nullptr;
    QAction* m_windowListStart = nullptr;
    // The windows in the order they were opened: each window given a menu
    // bar here from its making, any other from when it is first listed.
    QList<QPointer<QWidget>> m_openOrder;
};
