#include "app/views/MainMenu.h"

#include "core/Tool.h"
#include "app/views/MenuActions.h"
#include "app/views/ResponderChain.h"
#include "app/views/ShellServices.h"
#include "ui/AppLook.h"
#include "ui/Chrome.h"
#include "ui/Symbols.h"

#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QProxyStyle>
#include <QShortcut>
#include <QStyleFactory>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <utility>
#include <vector>

namespace {

enum Target { toDelegate, alongChain, toExport, none };

const char kActionName[] = "bwAction";
const char kTag[] = "bwTag";
const char kWindowItem[] = "bwWindowItem";
const char kRecentItem[] = "bwRecentItem";
const char kLentShortcuts[] = "bwLentShortcuts";

QString escaped(const QString& title)
{
    QString t = title;
    return t.replace(QLatin1Char('&'), QStringLiteral("&&"));
}

// The word processor's recent documents, above "Clear Menu".
void fillRecentList(QMenu* menu)
{
    const QList<QAction*> all = menu->actions();
    for (QAction* a : all) {
        if (a->property(kRecentItem).toBool()) {
            menu->removeAction(a);
            a->deleteLater();
        }
    }
    const ShellServices& services = ShellServices::shared();
    const QStringList paths = services.recentWordDocuments ? services.recentWordDocuments() : QStringList();
    if (paths.isEmpty())
        return;
    QAction* before = menu->actions().value(0);
    for (const QString& path : paths) {
        auto* a = new QAction(escaped(QFileInfo(path).fileName()), menu);
        a->setProperty(kRecentItem, true);
        a->setToolTip(path);
        QObject::connect(a, &QAction::triggered, menu, [path] {
            if (ShellServices::shared().openWordDocumentFile)
                ShellServices::shared().openWordDocumentFile(path);
        });
        menu->insertAction(before, a);
    }
    auto* separator = new QAction(menu);
    separator->setSeparator(true);
    separator->setProperty(kRecentItem, true);
    menu->insertAction(before, separator);
}

} // namespace

namespace {

MainMenu*& madeMenus()
{
    static MainMenu* menus = nullptr;
    return menus;
}

std::vector<std::function<void(MainMenu&)>>& pendingConfiguration()
{
    static std::vector<std::function<void(MainMenu&)>> pending;
    return pending;
}

} // namespace

MainMenu& MainMenu::shared()
{
    if (!madeMenus()) {
        madeMenus() = new MainMenu;
        for (const auto& configure : std::exchange(pendingConfiguration(), {}))
            configure(*madeMenus());
    }
    return *madeMenus();
}

void MainMenu::whenMade(std::function<void(MainMenu&)> configure)
{
    if (madeMenus())
        configure(*madeMenus());
    else
        pendingConfiguration().push_back(std::move(configure));
}

MainMenu::MainMenu()
{
    makeMenus();
    // Opening a window moves the focus several times in a row: the items
    // are checked once after the last move, not at each.
    connect(qApp, &QApplication::focusChanged, this, &MainMenu::revalidateSoon);
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &MainMenu::revalidateSoon);
    connect(qApp, &QGuiApplication::focusWindowChanged, this, &MainMenu::lendShortcutsToActiveWindow);
}

void MainMenu::lendShortcutsToActiveWindow()
{
    auto* window = qobject_cast<QMainWindow*>(QApplication::activeWindow());
    if (!window || window->menuWidget() || window->property(kLentShortcuts).toBool())
        return;
    window->setProperty(kLentShortcuts, true);
    window->addActions(shared().m_lent);
}

void MainMenu::setDelegate(QObject* delegate)
{
    m_delegate = delegate;
}

QString MainMenu::actionName(const QAction* a)
{
    return a ? a->property(kActionName).toString() : QString();
}

int MainMenu::tag(const QAction* a)
{
    return a ? a->property(kTag).toInt() : 0;
}

QString MainMenu::title(const QAction* a)
{
    if (!a)
        return QString();
    QString t = a->text();
    return t.replace(QStringLiteral("&&"), QStringLiteral("&"));
}

QAction* MainMenu::item(QMenu* menu, const QString& title, const char* action, const QString& keys, int target,
                        int tagValue)
{
    Q_ASSERT(MenuActions::find(action));
    auto* a = new QAction(escaped(title), this);
    const QString name = QLatin1String(action);
    const QString prefix = menu && menu == m_status ? QStringLiteral("status.") : QString();
    a->setObjectName(prefix + name + (tagValue ? QLatin1Char('.') + QString::number(tagValue) : QString()));
    a->setProperty(kActionName, name);
    if (tagValue)
        a->setProperty(kTag, tagValue);
    if (!keys.isEmpty())
        a->setShortcut(QKeySequence(keys, QKeySequence::PortableText));
    a->setShortcutVisibleInContextMenu(true);
    switch (Target(target)) {
    case toDelegate:
        connect(a, &QAction::triggered, this, [this, a] { ResponderChain::invoke(m_delegate, actionName(a), a); });
        break;
    case alongChain:
        m_chainItems.append(a);
        m_chainNames.append(name);
        if (const MenuActions::Entry* entry = MenuActions::find(action))
            m_chainStates.append(entry->state);
        else
            m_chainStates.append(nullptr);
        connect(a, &QAction::triggered, this, [a] { ResponderChain::shared().send(actionName(a), a); });
        break;
    case toExport:
        connect(a, &QAction::triggered, this, [this] {
            if (m_export)
                m_export();
        });
        break;
    case none:
        break;
    }
    if (menu)
        menu->addAction(a);
    return a;
}

void MainMenu::makeMenus()
{
    // `title` marks its access key with "&" (Alt and that letter open the
    // menu); the object keeps the plain title as its name.
    auto menu = [this](const QString& title) {
        auto* m = new QMenu(title);
        m->setObjectName(QString(title).remove(QLatin1Char('&')));
        m->installEventFilter(this);
        connect(m, &QMenu::aboutToShow, this, &MainMenu::revalidate);
        m_menus.append(m);
        return m;
    };
    auto submenu = [this](QMenu* parent, const QString& title) {
        QMenu* m = parent->addMenu(title);
        m->setObjectName(title);
        connect(m, &QMenu::aboutToShow, this, &MainMenu::revalidate);
        return m;
    };

    QMenu* app = menu(QStringLiteral("&Brindleworks"));
    item(app, QStringLiteral("About Brindleworks"), MenuActions::showAbout, {}, toDelegate);
    app->addSeparator();
    item(app, QStringLiteral("Settings…"), MenuActions::showSettings, QStringLiteral("Ctrl+,"), toDelegate);
    m_appToggle = item(app, QStringLiteral("Hide Floating Menu"), MenuActions::toggleFloatingMenu,
                       QStringLiteral("Ctrl+Shift+M"), toDelegate);
    setFloatingMenuShowing(m_floatingMenuShowing);
    app->addSeparator();
    item(app, QStringLiteral("Hide Brindleworks"), MenuActions::hideApplication, QStringLiteral("Ctrl+H"), alongChain);
    item(app, QStringLiteral("Hide Others"), MenuActions::hideOtherApplications, QStringLiteral("Ctrl+Alt+H"),
         alongChain);
    item(app, QStringLiteral("Show All"), MenuActions::unhideAllApplications, {}, alongChain);
    app->addSeparator();
    QAction* quit = item(app, QStringLiteral("Quit Brindleworks"), MenuActions::terminate, QStringLiteral("Ctrl+Q"),
                         alongChain);
    quit->setMenuRole(QAction::NoRole);

    QMenu* file = menu(QStringLiteral("&File"));
    item(file, QStringLiteral("New Word Document"), MenuActions::newDocument, QStringLiteral("Ctrl+N"), alongChain);
    item(file, QStringLiteral("Open Document…"), MenuActions::openDocument, QStringLiteral("Ctrl+O"), alongChain);
    QMenu* recent = submenu(file, QStringLiteral("Open Recent"));
    item(recent, QStringLiteral("Clear Menu"), MenuActions::clearRecentDocuments, {}, alongChain);
    connect(recent, &QMenu::aboutToShow, this, [recent] { fillRecentList(recent); });
    file->addSeparator();
    item(file, QStringLiteral("Close"), MenuActions::performClose, QStringLiteral("Ctrl+W"), alongChain);
    item(file, QStringLiteral("Save"), MenuActions::saveDocument, QStringLiteral("Ctrl+S"), alongChain);
    item(file, QStringLiteral("Save As…"), MenuActions::saveDocumentAs, QStringLiteral("Ctrl+Shift+S"), alongChain);
    item(file, QStringLiteral("Revert to Saved"), MenuActions::revertDocumentToSaved, {}, alongChain);
    item(file, QStringLiteral("Export as PDF…"), MenuActions::exportPDF, QStringLiteral("Ctrl+Alt+E"), alongChain);
    item(file, QStringLiteral("Export My Data…"), MenuActions::exportData, {}, toExport);
    file->addSeparator();
    item(file, QStringLiteral("Page Setup…"), MenuActions::runPageLayout, QStringLiteral("Ctrl+Shift+P"), alongChain);
    item(file, QStringLiteral("Print…"), MenuActions::printDocument, QStringLiteral("Ctrl+P"), alongChain);

    QMenu* edit = menu(QStringLiteral("&Edit"));
    item(edit, QStringLiteral("Undo"), MenuActions::undo, QStringLiteral("Ctrl+Z"), alongChain);
    item(edit, QStringLiteral("Redo"), MenuActions::redo, QStringLiteral("Ctrl+Shift+Z"), alongChain);
    edit->addSeparator();
    item(edit, QStringLiteral("Cut"), MenuActions::cut, QStringLiteral("Ctrl+X"), alongChain);
    item(edit, QStringLiteral("Copy"), MenuActions::copy, QStringLiteral("Ctrl+C"), alongChain);
    item(edit, QStringLiteral("Paste"), MenuActions::paste, QStringLiteral("Ctrl+V"), alongChain);
    item(edit, QStringLiteral("Paste and Match Style"), MenuActions::pasteAsPlainText,
         QStringLiteral("Ctrl+Alt+Shift+V"), alongChain);
    item(edit, QStringLiteral("Delete"), MenuActions::deleteSelection, {}, alongChain);
    item(edit, QStringLiteral("Select All"), MenuActions::selectAll, QStringLiteral("Ctrl+A"), alongChain);
    edit->addSeparator();
    QMenu* find = submenu(edit, QStringLiteral("Find"));
    const char* finder = MenuActions::performTextFinderAction;
    item(find, QStringLiteral("Find…"), finder, QStringLiteral("Ctrl+F"), alongChain, 1);
    item(find, QStringLiteral("Find and Replace…"), finder, QStringLiteral("Ctrl+Alt+F"), alongChain, 12);
    item(find, QStringLiteral("Find Next"), finder, QStringLiteral("Ctrl+G"), alongChain, 2);
    item(find, QStringLiteral("Find Previous"), finder, QStringLiteral("Ctrl+Shift+G"), alongChain, 3);
    item(find, QStringLiteral("Use Selection for Find"), finder, QStringLiteral("Ctrl+E"), alongChain, 7);
    QMenu* spelling = submenu(edit, QStringLiteral("Spelling and Grammar"));
    item(spelling, QStringLiteral("Show Spelling and Grammar"), MenuActions::showGuessPanel, QStringLiteral("Ctrl+:"),
         alongChain);
    item(spelling, QStringLiteral("Check Document Now"), MenuActions::checkSpelling, QStringLiteral("Ctrl+;"),
         alongChain);
    spelling->addSeparator();
    item(spelling, QStringLiteral("Check Spelling While Typing"), MenuActions::toggleContinuousSpellChecking, {},
         alongChain);
    item(spelling, QStringLiteral("Check Grammar With Spelling"), MenuActions::toggleGrammarChecking, {}, alongChain);
    item(spelling, QStringLiteral("Correct Spelling Automatically"), MenuActions::toggleAutomaticSpellingCorrection,
         {}, alongChain);

    // The font items go to the text under the focus, as a font panel would.
    QMenu* format = menu(QStringLiteral("F&ormat"));
    item(format, QStringLiteral("Show Fonts"), MenuActions::orderFrontFontPanel, QStringLiteral("Ctrl+T"), alongChain);
    item(format, QStringLiteral("Bold"), MenuActions::addFontTrait, QStringLiteral("Ctrl+B"), alongChain, 2);
    item(format, QStringLiteral("Italic"), MenuActions::addFontTrait, QStringLiteral("Ctrl+I"), alongChain, 1);
    item(format, QStringLiteral("Underline"), MenuActions::underline, QStringLiteral("Ctrl+U"), alongChain);
    item(format, QStringLiteral("Bigger"), MenuActions::modifyFont, QStringLiteral("Ctrl++"), alongChain, 3);
    item(format, QStringLiteral("Smaller"), MenuActions::modifyFont, QStringLiteral("Ctrl+-"), alongChain, 4);
    item(format, QStringLiteral("Show Colors"), MenuActions::orderFrontColorPanel, QStringLiteral("Ctrl+Shift+C"),
         alongChain);
    format->addSeparator();
    item(format, QStringLiteral("Align Left"), MenuActions::alignLeft, QStringLiteral("Ctrl+{"), alongChain);
    item(format, QStringLiteral("Center"), MenuActions::alignCenter, QStringLiteral("Ctrl+|"), alongChain);
    item(format, QStringLiteral("Justify"), MenuActions::alignJustified, {}, alongChain);
    item(format, QStringLiteral("Align Right"), MenuActions::alignRight, QStringLiteral("Ctrl+}"), alongChain);
    format->addSeparator();
    item(format, QStringLiteral("Bulleted List"), MenuActions::toggleBullets, QStringLiteral("Ctrl+Shift+7"),
         alongChain);
    item(format, QStringLiteral("Numbered List"), MenuActions::toggleNumbers, QStringLiteral("Ctrl+Shift+8"),
         alongChain);
    item(format, QStringLiteral("List Options…"), MenuActions::orderFrontListPanel, {}, alongChain);
    item(format, QStringLiteral("Insert Table"), MenuActions::insertTable, {}, alongChain);
    item(format, QStringLiteral("Table Options…"), MenuActions::orderFrontTablePanel, {}, alongChain);
    item(format, QStringLiteral("Insert Image…"), MenuActions::insertImage, QStringLiteral("Ctrl+Shift+I"), alongChain);
    item(format, QStringLiteral("Header & Footer…"), MenuActions::editHeaderFooter, {}, alongChain);

    // The tool items, made once and shared by the Tools menu and the tray.
    for (const Tool t : Tool::allCases()) {
        const bool withKey = !t.isGame() && t.index() < 9;
        QAction* a = item(nullptr, t.title(), MenuActions::openToolFromMenu,
                          withKey ? QStringLiteral("Ctrl+Alt+%1").arg(t.index() + 1) : QString(), toDelegate);
        a->setObjectName(QStringLiteral("tool.") + t.rawValue());
        a->setData(t.rawValue());
        a->setIcon(Symbols::icon(t.symbol(), Chrome::ink()));
        m_toolActions.append(a);
    }
    m_gamesHeading = new QAction(QStringLiteral("Games"), this);
    m_gamesHeading->setObjectName(QStringLiteral("gamesHeading"));
    m_gamesHeading->setEnabled(false);

    QMenu* tools = menu(QStringLiteral("&Tools"));
    toolItems(tools);

    QMenu* window = menu(QStringLiteral("&Window"));
    item(window, QStringLiteral("Minimize"), MenuActions::performMiniaturize, QStringLiteral("Ctrl+M"), alongChain);
    item(window, QStringLiteral("Zoom"), MenuActions::performZoom, {}, alongChain);
    window->addSeparator();
    m_windowListStart = item(window, QStringLiteral("Bring All to Front"), MenuActions::arrangeInFront, {}, alongChain);
    connect(window, &QMenu::aboutToShow, this, [this, window] { fillWindowList(window); });

    QMenu* help = menu(QStringLiteral("&Help"));
    item(help, QStringLiteral("Brindleworks Help"), MenuActions::showHelp, QStringLiteral("Ctrl+?"), toDelegate);
    item(help, websiteTitle(), MenuActions::visitWebsite, {}, toDelegate);

    // The application's own keys (not those of editing or of documents)
    // work in a window without a menu bar as well.
    for (const char* name : {MenuActions::showSettings, MenuActions::toggleFloatingMenu, MenuActions::terminate,
                             MenuActions::newDocument, MenuActions::openDocument, MenuActions::showHelp})
        m_lent.append(findChild<QAction*>(QLatin1String(name), Qt::FindDirectChildrenOnly));
    for (QAction* a : std::as_const(m_toolActions)) {
        if (!a->shortcut().isEmpty())
            m_lent.append(a);
    }
    m_lent.removeAll(nullptr);

    // Shortcuts of the shared menus work in every window that shows them;
    // the menus themselves are parentless popups owned here.
    for (QMenu* m : std::as_const(m_menus))
        m->setParent(nullptr);
}

void MainMenu::toolItems(QMenu* into)
{
    for (QAction* a : std::as_const(m_toolActions)) {
        if (!Tool::fromRawValue(a->data().toString())->isGame())
            into->addAction(a);
    }
    into->addSeparator();
    into->addAction(m_gamesHeading);
    for (QAction* a : std::as_const(m_toolActions)) {
        if (Tool::fromRawValue(a->data().toString())->isGame()) {
            // The games carry no key equivalent in any menu.
            into->addAction(a);
        }
    }
}

namespace {

// Seven menus in the width of the narrowest tool window (340): titles sit
// closer together than the platform style puts them, so none has to go
// behind the overflow button.
class CompactMenuBarStyle : public QProxyStyle {
public:
    // Over a style of the application's kind (the proxy owns it).
    CompactMenuBarStyle() : QProxyStyle(QStyleFactory::create(AppLook::styleName())) {}

    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override
    {
        switch (metric) {
        case PM_MenuBarItemSpacing:
            return 0;
        case PM_MenuBarHMargin:
            return 4;
        default:
            return QProxyStyle::pixelMetric(metric, option, widget);
        }
    }

    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override
    {
        QSize s = QProxyStyle::sizeFromContents(type, option, size, widget);
        if (type == CT_MenuBarItem)
            s.rwidth() -= 2;
        return s;
    }
};

// Opens the bar's first menu with its first item chosen, as Alt and a
// menu's letter do, so Return, the arrows and Escape work from there.
void openFirstMenu(QMenuBar* bar)
{
    const QList<QAction*> titles = bar->actions();
    if (titles.isEmpty() || !bar->isVisible())
        return;
    bar->setActiveAction(titles.first());
    QMenu* menu = titles.first()->menu();
    if (!menu || !menu->isVisible())
        return;
    for (QAction* a : menu->actions()) {
        if (!a->isSeparator() && a->isVisible() && a->isEnabled()) {
            menu->setActiveAction(a);
            break;
        }
    }
}

QStyle* compactMenuBarStyle()
{
    static QPointer<QStyle> style;
    if (!style) {
        style = new CompactMenuBarStyle;
        style->setParent(qApp);
    }
    return style;
}

} // namespace

QMenuBar* MainMenu::build(QWidget* window)
{
    m_openOrder.append(window);
    auto* bar = new QMenuBar(window);
    bar->setStyle(compactMenuBarStyle());
    // Every window shows its own bar over the same menus.
    bar->setNativeMenuBar(false);
    for (QMenu* m : std::as_const(m_menus))
        bar->addMenu(m);
    // F10 opens the first menu, as on the rest of the desktop; the arrows
    // then move through the bar and its items.
    auto* f10 = new QShortcut(QKeySequence(Qt::Key_F10), bar);
    f10->setContext(Qt::WindowShortcut);
    connect(f10, &QShortcut::activated, bar, [bar] { openFirstMenu(bar); });
    return bar;
}

QMenu* MainMenu::statusMenu()
{
    if (m_status)
        return m_status;
    m_status = new QMenu;
    m_status->setObjectName(QStringLiteral("status"));
    connect(m_status, &QMenu::aboutToShow, this, &MainMenu::revalidate);
    m_statusToggle = item(m_status, QStringLiteral("Hide Floating Menu"), MenuActions::toggleFloatingMenu, {},
                          toDelegate);
    m_status->addSeparator();
    toolItems(m_status);
    m_status->addSeparator();
    item(m_status, QStringLiteral("Settings…"), MenuActions::showSettings, {}, toDelegate);
    item(m_status, QStringLiteral("Brindleworks Help"), MenuActions::showHelp, {}, toDelegate);
    item(m_status, QStringLiteral("About Brindleworks"), MenuActions::showAbout, {}, toDelegate);
    item(m_status, websiteTitle(), MenuActions::visitWebsite, {}, toDelegate);
    m_status->addSeparator();
    item(m_status, QStringLiteral("Export My Data…"), MenuActions::exportData, {}, toExport);
    m_status->addSeparator();
    // The tray's Quit is the delegate's, so it works with no window open.
    item(m_status, QStringLiteral("Quit Brindleworks"), MenuActions::terminate, QStringLiteral("Ctrl+Q"), toDelegate);
    setFloatingMenuShowing(m_floatingMenuShowing);
    return m_status;
}

QString MainMenu::websiteTitle()
{
    return QStringLiteral("Visit the Corvandel Softworks Website");
}

void MainMenu::setFloatingMenuShowing(bool showing)
{
    m_floatingMenuShowing = showing;
    const QString t = showing ? QStringLiteral("Hide Floating Menu") : QStringLiteral("Show Floating Menu");
    if (m_appToggle)
        m_appToggle->setText(t);
    if (m_statusToggle)
        m_statusToggle->setText(t);
}

void MainMenu::revalidateSoon()
{
    if (m_revalidatePending)
        return;
    m_revalidatePending = true;
    // After the paintings already asked for (they wait at low priority
    // too, and go first): a window that takes the focus is drawn with it
    // before its items are checked (which may ask the clipboard's owner).
    QCoreApplication::postEvent(this, new QEvent(revalidateEvent()), Qt::LowEventPriority);
}

QEvent::Type MainMenu::revalidateEvent()
{
    static const auto type = QEvent::Type(QEvent::registerEventType());
    return type;
}

bool MainMenu::eventFilter(QObject* watched, QEvent* event)
{
    // Escape closes a menu of the bar and would leave the bar holding the
    // keyboard, with nothing drawn to say so: the keyboard goes back to
    // where it was, as it does when a menu is dismissed by a click.
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape
        && m_menus.contains(qobject_cast<QMenu*>(watched))) {
        QTimer::singleShot(0, this, [] {
            if (auto* bar = qobject_cast<QMenuBar*>(QApplication::focusWidget())) {
                QKeyEvent leave(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
                QApplication::sendEvent(bar, &leave);
            }
        });
    }
    return QObject::eventFilter(watched, event);
}

void MainMenu::customEvent(QEvent* event)
{
    if (event->type() == revalidateEvent() && m_revalidatePending)
        revalidate();
}

void MainMenu::revalidate()
{
    m_revalidatePending = false;
    // The chain is asked once for all items: it cannot change while they are
    // checked.
    const QList<ResponderChain::Check> checks = ResponderChain::shared().check(m_chainNames);
    for (qsizetype i = 0; i < m_chainItems.size(); ++i) {
        QAction* a = m_chainItems.at(i);
        const ResponderChain::Check& check = checks.at(i);
        a->setEnabled(check.enabled);
        if (const char* state = m_chainStates.at(i)) {
            const QVariant on = check.target ? check.target->property(state) : QVariant();
            a->setCheckable(on.isValid());
            a->setChecked(on.toBool());
        }
    }
}

QString MainMenu::shownTitle(const QWidget* window)
{
    // The title as the window system shows it: the "[*]" mark stands for
    // the modified state, "[*][*]" for the mark itself.
    if (const QWindow* handle = window->windowHandle())
        return handle->title();
    QString title = window->windowTitle();
    const QString mark = QStringLiteral("[*]");
    QStringList parts = title.split(mark + mark);
    for (QString& part : parts)
        part.replace(mark, window->isWindowModified() ? QStringLiteral("*") : QString());
    return parts.join(mark);
}

void MainMenu::fillWindowList(QMenu* windowMenu)
{
    const QList<QAction*> all = windowMenu->actions();
    for (QAction* a : all) {
        if (a->property(kWindowItem).toBool()) {
            windowMenu->removeAction(a);
            a->deleteLater();
        }
    }
    QList<QWidget*> open;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (!w->isWindow() || w->windowType() == Qt::Popup || w->windowType() == Qt::Tool
            || w->windowType() == Qt::ToolTip || qobject_cast<QMenu*>(w))
            continue;
        if ((w->isVisible() || w->isMinimized()) && !shownTitle(w).isEmpty())
            open.append(w);
    }
    // Windows listed for the first time go last, in an order that does not
    // change from one look at the menu to the next.
    m_openOrder.removeAll(QPointer<QWidget>());
    std::sort(open.begin(), open.end(), [](QWidget* a, QWidget* b) { return shownTitle(a) < shownTitle(b); });
    for (QWidget* w : std::as_const(open)) {
        if (!m_openOrder.contains(w))
            m_openOrder.append(w);
    }
    QList<QWidget*> windows;
    for (const QPointer<QWidget>& w : std::as_const(m_openOrder)) {
        if (open.contains(w.data()))
            windows.append(w.data());
    }
    if (windows.isEmpty())
        return;
    auto addItem = [windowMenu](QAction* a) {
        a->setProperty(kWindowItem, true);
        windowMenu->addAction(a);
    };
    auto* sep = new QAction(windowMenu);
    sep->setSeparator(true);
    addItem(sep);
    for (QWidget* w : windows) {
        auto* a = new QAction(escaped(shownTitle(w)), windowMenu);
        a->setCheckable(true);
        a->setChecked(w == QApplication::activeWindow());
        QPointer<QWidget> target(w);
        connect(a, &QAction::triggered, this, [target] {
            if (!target)
                return;
            if (target->isMinimized())
                target->showNormal();
            target->show();
            target->raise();
            target->activateWindow();
        });
        addItem(a);
    }
}
