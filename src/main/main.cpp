#include "core/RunMode.h"
#include "core/SettingsStore.h"
#include "app/views/AppIcon.h"
#include "app/views/FontLibraryWarmUp.h"
#include "app/views/Shell.h"
#include "app/views/StartupProbe.h"
#include "selftest/SelfTest.h"
#include "selftest/views/SnapshotDelegate.h"
#include "ui/Alert.h"
#include "ui/AppLook.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDir>
#include <QFileInfo>

#include <optional>
#include <thread>

namespace {

// Connects to the session bus on a worker thread while the first window is
// built: showing a window with child widgets starts the accessibility
// bridge, which asks for that connection (and would otherwise wait for it
// before the window is drawn). The connection is Qt's one session bus,
// shared by every thread; made once, under its lock.
class SessionBusWarmUp {
public:
    SessionBusWarmUp()
        : m_worker([] { QDBusConnection::sessionBus(); })
    {
    }
    ~SessionBusWarmUp() { m_worker.join(); }

private:
    std::thread m_worker;
};

// Whether the session bus is there to connect to. Without an address the
// bus library forks a helper to look for one (or start one); forked while
// the first window is being made, the process slows down under the copies
// of its pages, so such a connection is left to when it is first needed.
bool sessionBusAtHand()
{
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return true;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/bus"));
}

} // namespace

int main(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    const RunMode mode = RunMode::choose(arguments);

    if (mode.kind != RunMode::windowed) {
        // Both test modes work in a fresh throw-away folder, and keep the
        // user's preferences out of reach as well as the user's data.
        const QString folder = RunMode::throwAwayFolder(mode.kind);
        qputenv("VEXO_BW_DATA_DIR", QDir::toNativeSeparators(folder).toLocal8Bit());
        SettingsStore::redirectTo(folder + QStringLiteral("/settings.json"));
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
    }

    // Floating notes and panels need window positions, which Wayland keeps
    // from clients: under a Wayland session run on XWayland where present.
    if (mode.kind == RunMode::windowed && qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")
        && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");

    QApplication app(argc, argv);
    std::optional<SessionBusWarmUp> sessionBus;
    if (mode.kind == RunMode::windowed && sessionBusAtHand())
        sessionBus.emplace();
    QApplication::setOrganizationName(QStringLiteral("VEXO"));
    QApplication::setApplicationName(QStringLiteral("Brindleworks"));
    QApplication::setDesktopFileName(QStringLiteral("brindleworks"));

    if (mode.kind != RunMode::windowed) {
        // A windowed start sets it once its first window is up.
        AppIcon::apply();
        // Nobody is there to answer an alert: take "Cancel" where offered,
        // else the default button, so nothing waits for a click.
        setAlertHandler([](const AlertRequest& r) {
            const qsizetype cancel = r.buttons.indexOf(QStringLiteral("Cancel"));
            return alertFirstButton + int(cancel >= 0 ? cancel : 0);
        });
        AppLook::apply(app);
    }

    switch (mode.kind) {
    case RunMode::selfTest:
        return SelfTest::run(arguments);
    case RunMode::snapshots: {
        SnapshotDelegate delegate(mode.snapshotFolder);
        delegate.setWindows([] {
            QList<SnapshotDelegate::Window> windows;
            for (const Shell::SnapshotWindow& w : Shell::snapshotWindows())
                windows.append({w.key, w.open});
            return windows;
        });
        delegate.start();
        app.exec();
        QDir(qEnvironmentVariable("VEXO_BW_DATA_DIR")).removeRecursively();
        return 0;
    }
    case RunMode::windowed:
        break;
    }

    QApplication::setQuitOnLastWindowClosed(false);
    StartupProbe::installIfRequested();
    if (const std::optional<int> status = Shell::launch(Shell::documentArguments(QCoreApplication::arguments())))
        return *status;
    // Started by now if the floating menu was shown.
    FontLibraryWarmUp::start();
    return app.exec();
}
