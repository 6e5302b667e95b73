#include "app/views/AppDelegate.h"

#include "core/AppSettings.h"
#include "core/Debouncer.h"
#include "core/SafeFile.h"
#include "core/SettingsStore.h"
#include "core/Store.h"
#include "app/views/AppIcon.h"
#include "app/views/FloatingMenuController.h"
#include "app/views/FloatingMenuView.h"
#include "app/views/FloatingPanel.h"
#include "app/views/MainMenu.h"
#include "app/views/ResponderChain.h"
#include "app/views/ShellCommands.h"
#include "app/views/ShellServices.h"
#include "app/views/WindowManager.h"
#include "ui/AppLook.h"
#include "ui/Chrome.h"
#include "core/StoreEvents.h"
#include "ui/StoreNoticeView.h"
#include "ui/Symbols.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>
#include <QWindow>
#include <utility>

AppDelegate& AppDelegate::shared()
{
    static AppDelegate* d = new AppDelegate;
    return *d;
}

QList<Tool> AppDelegate::launchList(const QString& value)
{
    QList<Tool> tools;
    const QStringList pieces = value.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString& piece : pieces) {
        if (const std::optional<Tool> t = Tool::fromRawValue(piece))
            tools.append(*t);
    }
    return tools;
}

void AppDelegate::willFinishLaunching()
{
    QApplication::setQuitOnLastWindowClosed(shouldTerminateAfterLastWindowClosed);
    // The look before the first widget: set later, every menu and window
    // made by then would be restyled.
    if (auto* app = qobject_cast<QApplication*>(QCoreApplication::instance()))
        AppLook::apply(*app);
    ShellServices& services = ShellServices::shared();
    // The document controller first, so the document commands reach it.
    if (services.makeDocumentController) {
        if (QObject* controller = services.makeDocumentController())
            ResponderChain::shared().addApplicationResponder(controller);
    }
    ResponderChain::shared().addApplicationResponder(this);
    // The menus are made with the first window that has a menu bar.
    MainMenu::whenMade([this](MainMenu& menus) {
        menus.setDelegate(this);
        menus.setExportAction([] { ShellCommands::exportData(); });
    });
    connectShell();
}

void AppDelegate::connectShell()
{
    static bool connected = false;
    if (connected)
        return;
    connected = true;
    AppSettings& settings = AppSettings::shared();
    FloatingMenuController& menu = FloatingMenuController::shared();
    QObject::connect(&settings, &AppSettings::alwaysOnTopChanged, &menu, &FloatingMenuController::applyLevel);
    QObject::connect(&settings, &AppSettings::verticalChanged, &menu, &FloatingMenuController::rebuild);
    QObject::connect(&settings, &AppSettings::largeButtonsChanged, &menu, &FloatingMenuController::rebuild);
    QObject::connect(&settings, &AppSettings::showLabelsChanged, &menu, &FloatingMenuController::rebuild);
    // The menus, once made, follow the floating menu's state.
    MainMenu::whenMade([](MainMenu& menus) {
        FloatingMenuController& floating = FloatingMenuController::shared();
        menus.setFloatingMenuShowing(floating.isShowing());
        QObject::connect(&floating, &FloatingMenuController::showingChanged, &menus,
                         &MainMenu::setFloatingMenuShowing);
    });
    // A sticky note, which has no menu bar, answers the application's keys
    // even when no window with the menus was opened yet.
    QObject::connect(qApp, &QGuiApplication::focusWindowChanged, &menu,
                     [] { MainMenu::lendShortcutsToActiveWindow(); });
    // Files that could not be saved or read are told in a notice that
    // follows the store's reports, made when the first problem comes (a
    // window fewer before the first frame).
    if (!StoreEvents::shared().problems().isEmpty())
        StoreNoticeView::shared();
    else
        QObject::connect(&StoreEvents::shared(), &StoreEvents::problemAdded, &menu,
                         [] { StoreNoticeView::shared(); }, Qt::SingleShotConnection);
}

void AppDelegate::didFinishLaunching()
{
    if (m_launched)
        return;
    m_launched = true;
    // The floating menu first: it is what the user waits for.
    if (AppSettings::shared().showMenuAtLaunch())
        FloatingMenuController::shared().show();
    // The menu, a tool panel, shows no icon: the first window that does
    // brings it. Its pictures are decoded on a worker once the menu is
    // drawn; where a window opens at start, after that window's first frame
    // (a worker would share the processor with the menu and the window).
    if (!m_launchDocuments.isEmpty() || qEnvironmentVariableIsSet("VEXO_BW_OPEN"))
        AppIcon::applyWithFirstWindow(AppIcon::Decoding::after);
    // The rest once the menu is on the screen; should it not be drawn soon
    // (a window system that never exposes it), regardless.
    FloatingPanel* panel = FloatingMenuController::shared().panel();
    if (!panel || !panel->isVisible()) {
        finishLaunching();
        return;
    }
    connect(panel->view(), &FloatingMenuView::firstFrameDrawn, this, &AppDelegate::finishLaunching,
            Qt::QueuedConnection);
    QTimer::singleShot(250, this, &AppDelegate::finishLaunching);
}

void AppDelegate::finishLaunching()
{
    if (m_finished)
        return;
    m_finished = true;
    AppIcon::applyWithFirstWindow();
    ShellServices& services = ShellServices::shared();
    if (services.restoreStickyWindows)
        services.restoreStickyWindows();
    // The copies belong to the copy of the program that owns the data folder.
    if (services.reopenRecoveredDocuments && !Store::isReadOnly())
        services.reopenRecoveredDocuments();
    if (!Store::isReadOnly()) {
        // What writes cut short by a crash or a kill left behind; the
        // settings file may be shared by copies with other data folders.
        Store::removeLeftovers(Store::kOwnLeftoverAgeSeconds);
        SafeFile::removeLeftoversOf(SettingsStore::filePath(), SafeFile::kLeftoverAgeSeconds);
    }
    if (qEnvironmentVariableIsSet("VEXO_BW_OPEN")) {
        for (const Tool t : launchList(qEnvironmentVariable("VEXO_BW_OPEN")))
            WindowManager::shared().open(t);
    }
    // What shows nothing in a window (the tray icon, the buses watched for
    // the screen lock) once the windows asked for at start are drawn.
    AppIcon::afterFirstWindowDrawn([this] {
        makeStatusItem();
        if (const auto& observe = ShellServices::shared().installAutoLockObservers)
            observe();
    });
    openDocuments(std::exchange(m_launchDocuments, {}));
}

void AppDelegate::openDocuments(const QStringList& paths)
{
    const ShellServices& services = ShellServices::shared();
    for (const QString& path : paths) {
        if (services.openWordDocumentFile)
            services.openWordDocumentFile(path);
    }
}

QIcon AppDelegate::statusIcon()
{
    const QString name = QStringLiteral("wrench.and.screwdriver");
    if (!Symbols::isKnown(name))
        return AppIcon::icon();
    // Panels may be light or dark: dark ink inside a light rim reads on both.
    QIcon icon;
    for (const int size : {16, 22, 24, 32, 48, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        const QPainterPath path = Symbols::path(name, size * 0.86, QRectF(0, 0, size, size));
        p.setPen(QPen(QColor(255, 255, 255, 235), qMax(1.5, size / 10.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(path);
        p.fillPath(path, Chrome::ink());
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

void AppDelegate::makeStatusItem()
{
    if (m_statusItem)
        return;
    if (!QSystemTrayIcon::isSystemTrayAvailable()) {
        // Started with the session, the program may come before the panel
        // that holds the tray, or a tray may be added to the panel later:
        // look again, often at first, then now and then.
        QTimer::singleShot(m_trayAttempts++ < 15 ? 2000 : 10000, this, &AppDelegate::makeStatusItem);
        return;
    }
    m_statusItem = new QSystemTrayIcon(statusIcon(), this);
    m_statusItem->setToolTip(QStringLiteral("Brindleworks by Corvandel Softworks"));
    QMenu* menu = MainMenu::shared().statusMenu();
    m_statusItem->setContextMenu(menu);
    // A plain click opens the menu too, as a status item does.
    connect(m_statusItem, &QSystemTrayIcon::activated, this, [menu](QSystemTrayIcon::ActivationReason why) {
        if (why == QSystemTrayIcon::Trigger && !menu->isVisible())
            menu->popup(QCursor::pos());
    });
    m_statusItem->show();
}

void AppDelegate::handleReopen()
{
    FloatingMenuController::shared().show();
}

void AppDelegate::willTerminate()
{
    if (m_terminated)
        return;
    m_terminated = true;
    // Saves still waiting out their delay (the timeline's goals) are written now.
    Debouncer::flushAll();
    ShellServices& services = ShellServices::shared();
    if (services.writeRecoveryCopies)
        services.writeRecoveryCopies();
    if (services.saveStickyNotes)
        services.saveStickyNotes();
    if (services.finishRecordings)
        services.finishRecordings();
    if (services.lockPasswordBook)
        services.lockPasswordBook();
    WindowManager::shared().saveFrames();
    if (FloatingPanel* panel = FloatingMenuController::shared().panel())
        panel->saveFrameNow();
}

void AppDelegate::toggleFloatingMenu()
{
    FloatingMenuController::shared().toggle();
}

void AppDelegate::openToolFromMenu(QAction* sender)
{
    if (!sender)
        return;
    const QVariant data = sender->data();
    if (data.typeId() != QMetaType::QString)
        return;
    if (const std::optional<Tool> t = Tool::fromRawValue(data.toString()))
        WindowManager::shared().open(*t);
}

void AppDelegate::showSettings()
{
    ShellCommands::openSettings();
}

void AppDelegate::showHelp()
{
    ShellCommands::openHelp();
}

void AppDelegate::showAbout()
{
    ShellCommands::openAbout();
}

void AppDelegate::visitWebsite()
{
    ShellCommands::visitWebsite();
}

void AppDelegate::newWordDocument()
{
    if (ShellServices::shared().newWordDocument)
        ShellServices::shared().newWordDocument();
    else
        WindowManager::shared().open(Tool::wordProcessor);
}

void AppDelegate::terminate()
{
    ShellCommands::quit();
}

void AppDelegate::hideApplication()
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() && w->windowType() == Qt::Window)
            w->showMinimized();
    }
}

void AppDelegate::unhideAllApplications()
{
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isMinimized() && w->windowType() == Qt::Window)
            w->showNormal();
    }
}

void AppDelegate::arrangeInFront()
{
    QWidget* active = QApplication::activeWindow();
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w != active && w->windowType() == Qt::Window && w->isVisible() && !w->isMinimized())
            w->raise();
    }
    if (active)
        active->raise();
}
