#pragma once

#include "core/Tool.h"

#include <QIcon>
#include <QList>
#include <QObject>
#include <QString>
#include <QStringList>

class QAction;
class QSystemTrayIcon;

// The windowed program's delegate: starts the shell in its fixed order, owns
// the tray icon, shows the floating menu again when the program is started a
// second time, saves and locks what must not be lost at quit, and carries
// the application's menu commands.
class AppDelegate : public QObject {
    Q_OBJECT
public:
    static AppDelegate& shared();

    // The one place the shell's parts are connected: the settings to the
    // floating menu, the floating menu to the menus' Show/Hide titles. Done
    // once, by willFinishLaunching (and by tests that drive the parts alone).
    static void connectShell();

    // Before the event loop runs: the word processor's document controller,
    // the menus.
    void willFinishLaunching();
    // Once the event loop runs: the light look, the floating menu (when the
    // settings say so), then, once the menu has been drawn (what the user
    // waits for first), the tray icon, the sticky notes' windows, the
    // password book's auto-lock, the tools of VEXO_BW_OPEN in turn and the
    // documents named at launch.
    void didFinishLaunching();
    // The program was started again while running: show the floating menu
    // (never hide it).
    void handleReopen();
    // Documents named on the command line, opened once launch has finished.
    void setLaunchDocuments(const QStringList& paths) { m_launchDocuments = paths; }
    // Opens documents in the word processor (a later start named them).
    void openDocuments(const QStringList& paths);
    // On the way out: write the sticky notes, save a running recording, lock
    // the password book, keep the window frames.
    void willTerminate();

    // Closing the last window leaves the program running.
    static constexpr bool shouldTerminateAfterLastWindowClosed = false;

    // The tools named in a VEXO_BW_OPEN value, in order: pieces between
    // commas, empty ones dropped, none trimmed, unknown ones skipped.
    static QList<Tool> launchList(const QString& value);

    // The tray icon's picture: the wrench-and-screwdriver symbol.
    static QIcon statusIcon();

    // Null where the desktop has no tray, or before launch finished.
    QSystemTrayIcon* statusItem() const { return m_statusItem; }

public Q_SLOTS:
    void toggleFloatingMenu();
    // The item's data names the tool (its raw value); anything else is
    // ignored.
    void openToolFromMenu(QAction* sender);
    void showSettings();
    void showHelp();
    void showAbout();
    void visitWebsite();
    void newWordDocument();

    // The end of the responder chain: what the application itself does.
    void terminate();
    // Minimises every window of the program (the floating menu stays).
    void hideApplication();
    // Brings back every window that hideApplication() minimised: the nearest
    // the desktop offers to showing all hidden programs.
    void unhideAllApplications();
    // Raises every open, unminimised window of the program, the active one
    // last.
    void arrangeInFront();

private:
    AppDelegate() = default;
    void makeStatusItem();
    void finishLaunching();

    QSystemTrayIcon* m_statusItem = nullptr;
    int m_trayAttempts = 0;
    bool m_launched = false;
    bool m_finished = false;
    bool m_terminated = false;
    QStringList m_launchDocuments;
};
